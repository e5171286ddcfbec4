#include "core/Indexer.h"
#include "core/SharedHelpers.h"

#include <QRandomGenerator>
#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

// Prose-like text: a vocabulary of a few thousand words with punctuation and paragraph breaks.
QString makeText(int words)
{
    static const QStringList seeds
        = { QStringLiteral("garden"), QStringLiteral("rose"), QStringLiteral("the"), QStringLiteral("well-known"),
              QStringLiteral("river"), QStringLiteral("and"), QStringLiteral("o'neil"), QStringLiteral("night"),
              QStringLiteral("3.14"), QStringLiteral("caf\u00e9"), QStringLiteral("window"), QStringLiteral("of") };
    QRandomGenerator random(42);
    QString text;
    text.reserve(words * 7);
    for (int index = 0; index < words; ++index) {
        text.append(seeds.at(random.bounded(seeds.size())));
        if (random.bounded(4) == 0)
            text.append(QString::number(random.bounded(3000)));
        const quint32 gap = random.bounded(40);
        text.append(gap == 0 ? QStringLiteral(".\n\n") : gap < 3 ? QStringLiteral(", ") : QStringLiteral(" "));
    }
    return text;
}

void BM_CountWords120k(benchmark::State& state)
{
    const QString text = makeText(120000);
    for (auto _ : state)
        benchmark::DoNotOptimize(SharedHelpers::countWords(text));
    state.SetBytesProcessed(qint64(state.iterations()) * text.size() * qint64(sizeof(QChar)));
}
BENCHMARK(BM_CountWords120k)->Unit(benchmark::kMillisecond);

void BM_TermsOf10kWordCard(benchmark::State& state)
{
    const QStringList texts = { QStringLiteral("A Title of the Card"), makeText(10000) };
    for (auto _ : state)
        benchmark::DoNotOptimize(Indexer::terms(texts));
}
BENCHMARK(BM_TermsOf10kWordCard)->Unit(benchmark::kMillisecond);

}  // namespace
