// Store speed on a project of 10,000 cards in 500 folders.
#include "TestStore.h"
#include "core/StoreConstants.h"
#include "platform/store/ManagedObject.h"

#include <benchmark/benchmark.h>

namespace {

const QString ProjectItemEntity = QStringLiteral("ProjectItem");
const QString ProjectId = QStringLiteral("00000000-0000-0000-0000-000000000001");
constexpr int Folders = 500;
constexpr int CardsPerFolder = 20;
constexpr int BigFolderCards = 1000;

void insertCard(ManagedObjectContext* context, const QString& folder, int order)
{
    ManagedObject* card = context->insertNewObject(ProjectItemEntity);
    card->setValue(QStringLiteral("uniqueIdentifier"), QStringLiteral("CARD-%1-%2").arg(folder).arg(order));
    card->setValue(QStringLiteral("projectId"), ProjectId);
    card->setValue(QStringLiteral("parentItemId"), folder);
    card->setValue(QStringLiteral("title"), QStringLiteral("Card %1").arg(order));
    card->setValue(QStringLiteral("summary"), QStringLiteral("A summary of the scene that runs to a few words."));
    card->setValue(QStringLiteral("itemType"), ProjectItemTypes::Story);
    card->setValue(QStringLiteral("displayOrder"), order);
    card->setValue(QStringLiteral("terms"),
                   order % 10 == 0 ? QStringLiteral(" rose garden night") : QStringLiteral(" river stone night"));
    card->setValue(QStringLiteral("lastModified"), QDateTime::currentDateTime());
}

// 10,000 cards: 500 folders of 20, and one of the folders holds 1,000 more.
void fillProject(ManagedObjectContext* context)
{
    for (int f = 0; f < Folders; ++f) {
        const QString folder = QStringLiteral("FOLDER-%1").arg(f);
        for (int c = 1; c <= CardsPerFolder; ++c)
            insertCard(context, folder, c);
    }
    context->save();
}

void BM_SaveInsertingTenThousandCards(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        TestStore store;
        for (int f = 0; f < Folders; ++f) {
            for (int c = 1; c <= CardsPerFolder; ++c)
                insertCard(store.context(), QStringLiteral("FOLDER-%1").arg(f), c);
        }
        state.ResumeTiming();
        if (store.context()->save()) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveInsertingTenThousandCards)->Unit(benchmark::kMillisecond)->Iterations(5);

class ProjectFixture : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override
    {
        store = std::make_unique<TestStore>();
        fillProject(store->context());
        for (int c = 1; c <= BigFolderCards; ++c)
            insertCard(store->context(), QStringLiteral("BIG"), c);
        store->context()->save();
    }
    void TearDown(const benchmark::State&) override { store.reset(); }

    std::unique_ptr<TestStore> store;
};

BENCHMARK_DEFINE_F(ProjectFixture, ListOneThousandCardFolder)(benchmark::State& state)
{
    for (auto _ : state) {
        FetchRequest request(ProjectItemEntity);
        request.setPredicate(QStringLiteral("(projectId == %@) AND (parentItemId == %@)"),
                             {ProjectId, QStringLiteral("BIG")});
        request.setSortDescriptors({{QStringLiteral("displayOrder"), true}});
        auto cards = store->context()->fetch(request);
        if (cards.size() != BigFolderCards) {
            state.SkipWithError("wrong count");
            break;
        }
    }
}
BENCHMARK_REGISTER_F(ProjectFixture, ListOneThousandCardFolder)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(ProjectFixture, CountFolderChildren)(benchmark::State& state)
{
    for (auto _ : state) {
        FetchRequest request(ProjectItemEntity);
        request.setPredicate(QStringLiteral("(projectId == %@) AND (parentItemId == %@) AND (itemType != 0)"),
                             {ProjectId, QStringLiteral("FOLDER-7")});
        if (store->context()->count(request) != CardsPerFolder) {
            state.SkipWithError("wrong count");
            break;
        }
    }
}
BENCHMARK_REGISTER_F(ProjectFixture, CountFolderChildren)->Unit(benchmark::kMicrosecond);

BENCHMARK_DEFINE_F(ProjectFixture, SearchTermsOverWholeProject)(benchmark::State& state)
{
    for (auto _ : state) {
        FetchRequest request(ProjectItemEntity);
        request.setPredicate(
            QStringLiteral("projectId == %@ AND ((terms contains \" rose\") OR (itemType == 0)) AND itemType != 0"),
            {ProjectId});
        request.setSortDescriptors({{QStringLiteral("displayOrder"), true}});
        // Every tenth card of each folder carries "rose".
        if (store->context()->fetch(request).size() != (Folders * CardsPerFolder + BigFolderCards) / 10) {
            state.SkipWithError("wrong cards found");
            break;
        }
    }
}
BENCHMARK_REGISTER_F(ProjectFixture, SearchTermsOverWholeProject)->Unit(benchmark::kMillisecond);

} // namespace
