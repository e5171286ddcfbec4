// The sidebar's filter counts and a filtered folder listing on a project of 10,000 cards.
#include "TestStore.h"
#include "core/DbHelpers.h"
#include "core/Indexer.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"

#include <benchmark/benchmark.h>

namespace {

const QString ProjectId = QStringLiteral("00000000-0000-0000-0000-0000000000AA");
constexpr int Folders = 100;
constexpr int CardsPerFolder = 100;

void fillProject(ManagedObjectContext* context)
{
    for (int f = 0; f < Folders; ++f) {
        const QString folderId = QStringLiteral("FOLDER-%1").arg(f);
        auto* folder = context->insertNew<ProjectItem>();
        folder->setUniqueIdentifier(folderId);
        folder->setProjectId(ProjectId);
        folder->setParentItemId(ItemIds::Top);
        folder->setItemType(ProjectItemTypes::Folder);
        folder->setDisplayOrder(f + 1);
        for (int c = 0; c < CardsPerFolder; ++c) {
            auto* card = context->insertNew<ProjectItem>();
            card->setUniqueIdentifier(QStringLiteral("CARD-%1-%2").arg(f).arg(c));
            card->setProjectId(ProjectId);
            card->setParentItemId(folderId);
            card->setItemType(1 + c % 8);
            card->setDisplayOrder(c + 1);
            card->setTag(c % 5 == 0 ? QStringLiteral("done") : QString());
            card->setNotes(c % 3 == 0 ? QStringLiteral("a note") : QString());
            card->setTerms(c % 10 == 0 ? QStringLiteral(" rose garden") : QStringLiteral(" river stone"));
            card->setLastModified(QDateTime::currentDateTime().addDays(-(c % 40)));
        }
    }
    context->save();
}

class FilledProject : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override
    {
        store = std::make_unique<TestStore>();
        fillProject(store->context());
    }
    void TearDown(const benchmark::State&) override { store.reset(); }

    std::unique_ptr<TestStore> store;
};

// The counts the filter sidebar asks for on every refresh, as its filter table makes them.
BENCHMARK_DEFINE_F(FilledProject, SidebarFilterCounts)(benchmark::State& state)
{
    ManagedObjectContext* context = store->context();
    const QString notes = QStringLiteral("notes != nil AND notes != ''");
    const QString open = QStringLiteral("(((itemType == 3 or itemType == 2 or itemType == 4) and "
                                        "(tag == nil or tag != 'done')))");
    for (auto _ : state) {
        quint64 total = 0;
        for (qint64 type : {CardFilter::AllCards, qint64(1), qint64(7), qint64(5), qint64(8), qint64(6), qint64(4),
                            qint64(3), qint64(2)})
            total += DbHelpers::getProjectItemsCount(context, ProjectId, type, {}, {});
        for (qint64 recent : {CardFilter::Last24Hours, CardFilter::Last7Days, CardFilter::Last30Days})
            total += DbHelpers::getProjectItemsCount(context, ProjectId, CardFilter::AllCards, {}, {},
                                                     DbHelpers::dateForRecentFilter(recent));
        total += DbHelpers::getProjectItemsCount(context, ProjectId, CardFilter::AllCards, notes, {});
        total += DbHelpers::getProjectItemsCount(context, ProjectId, CardFilter::AllCards, open, {});
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK_REGISTER_F(FilledProject, SidebarFilterCounts)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(FilledProject, SearchWholeProject)(benchmark::State& state)
{
    const QString query = Indexer::predicate(QStringLiteral("terms"), QStringLiteral("rose"));
    for (auto _ : state)
        benchmark::DoNotOptimize(DbHelpers::getCardsForQuery(store->context(), ProjectId, query).size());
}
BENCHMARK_REGISTER_F(FilledProject, SearchWholeProject)->Unit(benchmark::kMillisecond);

} // namespace
