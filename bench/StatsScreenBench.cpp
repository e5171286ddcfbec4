// What a writer waits for when the statistics screen opens on a project with 100,000 writing records (years of
// daily writing): the screen built, every figure read and rolled up, the badges judged and drawn, laid out and
// painted into an offscreen image.
#include "TestStore.h"
#include "core/SettingsHelper.h"
#include "stats/StatisticsViewController.h"
#include "stats/StatsSeed.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <benchmark/benchmark.h>

namespace {

constexpr int Records = 100000;
constexpr int RecordsPerDay = 90;

struct FilledStore {
    FilledStore() : now(QDateTime::currentDateTime())
    {
        seed.cards = 200;
        seed.wordsPerCard = 150;
        seed.recordsPerDay = RecordsPerDay;
        // Enough days for the records with a day off in seven.
        seed.days = Records / RecordsPerDay * 7 / 6 + 7;
        seed.maxRecords = Records;
        seed.fill(store.context(), now);
        SettingsHelper::setValue(store.context(), seed.projectId, SettingsHelper::WordTargetKey,
                                 QStringLiteral("90000"), true);
        if (auto error = store.context()->save())
            qFatal("Filling the benchmark store failed: %s", qPrintable(error->message));
    }
    TestStore store;
    StatsSeed seed;
    QDateTime now;
};

FilledStore& filled()
{
    static FilledStore instance;
    return instance;
}

void BM_OpenStatistics100k(benchmark::State& state)
{
    FilledStore& data = filled();
    QImage image(620, 760, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        auto* screen = new StatisticsViewController;
        screen->setContext(data.store.context());
        screen->setProjectId(data.seed.projectId);
        screen->setLastModified(data.now);
        screen->setClock([&data] { return data.now; });
        screen->resize(image.size());
        screen->show();
        ViewController::transitionAppearance(screen, true, false);
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        screen->render(&image);
        const bool shown = screen->report().daysSpent >= Records / RecordsPerDay &&
            screen->label(QStringLiteral("daysSpentInProjectView"))->text().toLongLong() == screen->report().daysSpent;
        benchmark::DoNotOptimize(image.constBits());
        state.PauseTiming();
        ViewController::transitionAppearance(screen, false, false);
        delete screen;
        state.ResumeTiming();
        // The library refuses a pause or resume after an error, so the error waits until timing runs again.
        if (!shown) {
            state.SkipWithError("the screen did not show every day of writing");
            break;
        }
    }
}
BENCHMARK(BM_OpenStatistics100k)->Unit(benchmark::kMillisecond);

} // namespace
