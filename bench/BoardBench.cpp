// The card board's pipeline on a folder of 2,000 cards: the query, the filtering, the model and the texts of
// the first screen's cells, as a board opening or a search keystroke runs them. The bench main has no GUI
// application, so painting is left out; the grid has uniform cells and paints only what is visible.
#include "TestStore.h"
#include "board/CardBoardLoader.h"
#include "board/CardGridMetrics.h"
#include "board/CardListModel.h"
#include "core/Indexer.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Cards = 2000;
const QString ProjectId = QStringLiteral("BENCH");

class BigFolder : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override
    {
        store = std::make_unique<TestStore>();
        ManagedObjectContext* context = store->context();
        auto* project = context->insertNew<Project>();
        project->setUniqueIdentifier(ProjectId);
        project->setProjectTitle(QStringLiteral("Bench"));
        for (int i = 0; i < Cards; ++i) {
            auto* card = context->insertNew<ProjectItem>();
            card->setUniqueIdentifier(QStringLiteral("CARD-%1").arg(i));
            card->setProjectId(ProjectId);
            card->setParentItemId(ItemIds::Top);
            card->setItemType(1 + i % 8);
            card->setTitle(QStringLiteral("Card %1").arg(i));
            card->setTerms(QStringLiteral(" card c%1 harbour%2").arg(i).arg(i % 50));
            card->setSummary(QStringLiteral("Summary of card %1").arg(i));
            card->setDisplayOrder(i + 1);
            card->setWordCount(i);
        }
        context->save();
    }
    void TearDown(const benchmark::State&) override { store.reset(); }

    // What one screen of a 1000-point board shows: the rows of the visible cells read once.
    static int readFirstScreen(const CardListModel& model)
    {
        const auto grid = CardGridMetrics::compute(1000, false, true);
        const int visible = std::min(model.rowCount(), grid.columns * (800 / grid.cellHeight + 1));
        int chars = 0;
        for (int row = 0; row < visible; ++row) {
            const QModelIndex index = model.index(row);
            chars += index.data(CardListModel::TitleRole).toString().size();
            chars += index.data(CardListModel::SummaryRole).toString().size();
            chars += index.data(CardListModel::LargeFooterRole).toString().size();
            chars += index.data(CardListModel::TagSymbolRole).toString().size();
        }
        return chars;
    }

    std::unique_ptr<TestStore> store;
};

// Goal: at most 100 ms from the query to a laid-out first screen.
BENCHMARK_DEFINE_F(BigFolder, OpenBoard)(benchmark::State& state)
{
    for (auto _ : state) {
        CardListModel model;
        const auto result =
            CardBoardLoader::loadCards({store->context(), ProjectId, ItemIds::Top, CardFilter::AllCards, {}, {}});
        model.setCountSource(store->context(), ProjectId, CardFilter::AllCards, {}, {});
        model.setItems(result.filteredCards);
        benchmark::DoNotOptimize(readFirstScreen(model));
    }
}
BENCHMARK_REGISTER_F(BigFolder, OpenBoard)->Unit(benchmark::kMillisecond);

// Goal: at most 30 ms to re-filter after one more search character.
BENCHMARK_DEFINE_F(BigFolder, SearchKeystroke)(benchmark::State& state)
{
    CardListModel model;
    const QString query = Indexer::predicate(QStringLiteral("terms"), QStringLiteral("harbour1"));
    for (auto _ : state) {
        const auto result =
            CardBoardLoader::loadCards({store->context(), ProjectId, ItemIds::Top, CardFilter::AllCards, {}, query});
        model.setItems(result.filteredCards);
        benchmark::DoNotOptimize(readFirstScreen(model));
    }
}
BENCHMARK_REGISTER_F(BigFolder, SearchKeystroke)->Unit(benchmark::kMillisecond);

} // namespace
