#include "core/Indexer.h"
#include "core/SharedHelpers.h"

#include <QRandomGenerator>
#include <QSet>
#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

// Prose-like text: a vocabulary of a few thousand words with punctuation and paragraph breaks. words, when
// given, receives how many words the word count finds in it: "well-known" and "3.14" are two each, "o'neil" one.
QString makeText(int count, qsizetype* words = nullptr)
{
    static const QStringList seeds = {QStringLiteral("garden"),     QStringLiteral("rose"),   QStringLiteral("the"),
                                      QStringLiteral("well-known"), QStringLiteral("river"),  QStringLiteral("and"),
                                      QStringLiteral("o'neil"),     QStringLiteral("night"),  QStringLiteral("3.14"),
                                      QStringLiteral("caf\u00e9"),  QStringLiteral("window"), QStringLiteral("of")};
    QRandomGenerator random(42);
    QString text;
    text.reserve(count * 7);
    qsizetype counted = 0;
    for (int index = 0; index < count; ++index) {
        const QString& seed = seeds.at(random.bounded(seeds.size()));
        // Hyphens and full stops break words; apostrophes do not.
        counted += seed == QStringLiteral("well-known") || seed == QStringLiteral("3.14") ? 2 : 1;
        text.append(seed);
        if (random.bounded(4) == 0)
            text.append(QString::number(random.bounded(3000)));
        const quint32 gap = random.bounded(40);
        text.append(gap == 0 ? QStringLiteral(".\n\n") : gap < 3 ? QStringLiteral(", ") : QStringLiteral(" "));
    }
    if (words)
        *words = counted;
    return text;
}

void BM_CountWords120k(benchmark::State& state)
{
    qsizetype words = 0;
    const QString text = makeText(120000, &words);
    for (auto _ : state) {
        if (SharedHelpers::countWords(text) != words) {
            state.SkipWithError("the words were miscounted");
            break;
        }
    }
    state.SetBytesProcessed(qint64(state.iterations()) * text.size() * qint64(sizeof(QChar)));
}
BENCHMARK(BM_CountWords120k)->Unit(benchmark::kMillisecond);

void BM_TermsOf10kWordCard(benchmark::State& state)
{
    const QStringList texts = {QStringLiteral("A Title of the Card"), makeText(10000)};
    for (auto _ : state) {
        const QString terms = Indexer::terms(texts);
        // Every term stands between blanks; the title's words and the body's are all there.
        state.PauseTiming();
        const QStringList list = terms.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QSet<QString> set(list.cbegin(), list.cend());
        const bool whole = terms.startsWith(QLatin1Char(' ')) && set.size() == list.size() &&
                           set.contains(QStringLiteral("title")) && set.contains(QStringLiteral("card")) &&
                           set.contains(QStringLiteral("garden")) && set.contains(QStringLiteral("caf\u00e9"));
        state.ResumeTiming();
        if (!whole) {
            state.SkipWithError("the card's terms are wrong");
            break;
        }
    }
}
BENCHMARK(BM_TermsOf10kWordCard)->Unit(benchmark::kMillisecond);

} // namespace
