// The sidebar's filter counts and a filtered folder listing on a project of 10,000 cards.
#include "TestStore.h"
#include "board/FilterManager.h"
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

// Goal: at most 20 ms for every count the filter sidebar shows, made by its FilterManager on each refresh.
BENCHMARK_DEFINE_F(FilledProject, SidebarFilterCounts)(benchmark::State& state)
{
    const FilterManager filters(store->context(), ProjectId);
    for (auto _ : state) {
        FilterManager::Counts counts = filters.cardTypeCounts();
        counts.insert(filters.recentCounts());
        counts.insert(filters.otherFilterCounts());
        // Folders are never counted: all cards are the folders' cards alone.
        if (counts.value(FilterManager::Filters::allCards) != quint64(Folders * CardsPerFolder)) {
            state.SkipWithError("the sidebar counted the wrong cards");
            break;
        }
        benchmark::DoNotOptimize(counts);
    }
}
BENCHMARK_REGISTER_F(FilledProject, SidebarFilterCounts)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(FilledProject, SearchWholeProject)(benchmark::State& state)
{
    const QString query = Indexer::predicate(QStringLiteral("terms"), QStringLiteral("rose"));
    for (auto _ : state) {
        // Every tenth card of each folder carries "rose".
        if (DbHelpers::getCardsForQuery(store->context(), ProjectId, query).size() != Folders * CardsPerFolder / 10) {
            state.SkipWithError("the search found the wrong cards");
            break;
        }
    }
}
BENCHMARK_REGISTER_F(FilledProject, SearchWholeProject)->Unit(benchmark::kMillisecond);

} // namespace
