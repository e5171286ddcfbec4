// The project list's fetch and model build with 500 projects, as each reload of the list does it.
#include "TestStore.h"
#include "board/ProjectListModel.h"
#include "core/Project.h"
#include "platform/store/FetchedResultsController.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Projects = 500;

class ProjectLibrary : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override
    {
        store = std::make_unique<TestStore>();
        ManagedObjectContext* context = store->context();
        for (int i = 0; i < Projects; ++i) {
            auto* project = context->insertNew<Project>();
            project->setUniqueIdentifier(QStringLiteral("PROJECT-%1").arg(i));
            project->setProjectTitle(QStringLiteral("Novel number %1").arg(i));
            project->setDisplayOrder(Projects - i);
            project->setLastModified(QDateTime::currentDateTime());
        }
        context->save();
    }
    void TearDown(const benchmark::State&) override { store.reset(); }

    std::unique_ptr<TestStore> store;
};

// Goal: at most 20 ms per reload.
BENCHMARK_DEFINE_F(ProjectLibrary, FetchAndBuildModel)(benchmark::State& state)
{
    FetchRequest request = Project::fetchRequest();
    request.setSortDescriptors({{Project::DisplayOrderKey, true}});
    ProjectListModel model;
    for (auto _ : state) {
        FetchedResultsController controller(request, store->context());
        controller.performFetch();
        model.setProjects({});
        model.setProjects(controller.fetchedObjects());
        // Sorted by display order: the last project made comes first.
        if (model.rowCount() != Projects || model.data(model.index(0), ProjectListModel::IdentifierRole).toString() !=
                                                QStringLiteral("PROJECT-%1").arg(Projects - 1)) {
            state.SkipWithError("the list does not hold every project");
            break;
        }
    }
}
BENCHMARK_REGISTER_F(ProjectLibrary, FetchAndBuildModel)->Unit(benchmark::kMillisecond);

} // namespace
