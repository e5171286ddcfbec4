// What a writer waits for on the board of a project of 10,000 cards: entering a folder of 2,000 cards until
// the board is laid out and painted, and the save at the drop of a drag in that folder.
#include "TestStore.h"
#include "board/BoardNavigator.h"
#include "board/BoardReorder.h"
#include "board/CardListModel.h"
#include "board/PvCardViewController.h"
#include "core/DbHelpers.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "platform/Delays.h"

#include <QCoreApplication>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

constexpr int FolderCards = 2000;
constexpr int OtherCards = 8000;
const QString ProjectId = QStringLiteral("BENCH");
const QString BigFolderId = QStringLiteral("FOLDER-BIG");
const QString RestFolderId = QStringLiteral("FOLDER-REST");

void addFolder(ManagedObjectContext* context, const QString& id, const QString& title, int order)
{
    auto* folder = context->insertNew<ProjectItem>();
    folder->setUniqueIdentifier(id);
    folder->setProjectId(ProjectId);
    folder->setParentItemId(ItemIds::Top);
    folder->setItemType(ProjectItemTypes::Folder);
    folder->setTitle(title);
    folder->setDisplayOrder(order);
}

void addCards(ManagedObjectContext* context, const QString& folderId, int count)
{
    for (int i = 0; i < count; ++i) {
        auto* card = context->insertNew<ProjectItem>();
        card->setUniqueIdentifier(QStringLiteral("%1-%2").arg(folderId).arg(i));
        card->setProjectId(ProjectId);
        card->setParentItemId(folderId);
        card->setItemType(1 + i % 8);
        card->setTitle(QStringLiteral("Card %1").arg(i));
        card->setTerms(QStringLiteral(" card c%1").arg(i));
        card->setSummary(QStringLiteral("The harbour at night, seen from the lighthouse, card %1.").arg(i));
        card->setDisplayOrder(i + 1);
        card->setWordCount(100 + i);
        card->setCharCount(600 + i);
    }
}

// The project: at its root a folder of 2,000 cards and one of 8,000; a board on the root, laid out.
struct Project10k {
    Project10k()
    {
        Delays::setFactor(0);
        ManagedObjectContext* context = store.context();
        auto* project = context->insertNew<Project>();
        project->setUniqueIdentifier(ProjectId);
        project->setProjectTitle(QStringLiteral("Bench"));
        addFolder(context, BigFolderId, QStringLiteral("Two Thousand"), 1);
        addFolder(context, RestFolderId, QStringLiteral("The Rest"), 2);
        addCards(context, BigFolderId, FolderCards);
        addCards(context, RestFolderId, OtherCards);
        context->save();
        board = std::make_unique<PvCardViewController>(context);
        board->setCurrentProjectId(ProjectId);
        board->setCurrentFolderId(ItemIds::Top);
        board->setCurrentTitle(QStringLiteral("Bench"));
        board->resize(1040, 760);
        board->show();
        board->reloadBoard(false);
        // The window's first layout and the queued reload, as the event loop runs them after a board opens.
        for (int round = 0; round < 5; ++round)
            QCoreApplication::processEvents();
    }

    TestStore store;
    std::unique_ptr<PvCardViewController> board;
};

// The big folder's cards by the display order the store file keeps: with nothing pending, the rows are read
// from the file, not from the objects in memory.
QStringList storedOrder(TestStore& store)
{
    FetchRequest request = ProjectItem::fetchRequest();
    request.setPredicate(QStringLiteral("parentItemId == %@"), {BigFolderId});
    request.setSortDescriptors({{ProjectItem::DisplayOrderKey, true}});
    QStringList ids;
    for (const QVariantList& row : store.context()->fetchValues(request, {ProjectItem::UniqueIdentifierKey}))
        ids.append(row.first().toString());
    return ids;
}

// Renders the board as the window would show it.
void paint(PvCardViewController* board, QImage& image)
{
    image.fill(Qt::white);
    QPainter painter(&image);
    board->render(&painter);
}

// Goal: at most 100 ms from the click on the folder to the painted first screen of its 2,000 cards.
void BM_EnterFolder2000(benchmark::State& state)
{
    Project10k project;
    PvCardViewController* board = project.board.get();
    QImage image(board->size(), QImage::Format_ARGB32_Premultiplied);
    ProjectItem* folder = DbHelpers::getItem(project.store.context(), BigFolderId);
    for (auto _ : state) {
        board->navigator().enterFolder(folder, 0);
        // What the event loop runs before the next frame: posted layout requests and the grid's own layout.
        QCoreApplication::processEvents();
        paint(board, image);
        state.PauseTiming();
        const bool loaded = board->model()->rowCount() == FolderCards;
        board->goBack();
        state.ResumeTiming();
        // The library refuses a pause or resume after an error, so the error waits until timing runs again.
        if (!loaded) {
            state.SkipWithError("the folder did not load");
            break;
        }
    }
}
BENCHMARK(BM_EnterFolder2000)->Unit(benchmark::kMillisecond);

// Goal: at most 50 ms for the save at the drop of a drag across a few cells of the folder of 2,000.
void BM_DropSave(benchmark::State& state)
{
    Project10k project;
    PvCardViewController* board = project.board.get();
    board->navigator().enterFolder(DbHelpers::getItem(project.store.context(), BigFolderId), 0);
    // The folder's cards in the order the drags leave them, to compare with what the store keeps.
    QStringList order;
    for (int i = 0; i < FolderCards; ++i)
        order.append(QStringLiteral("%1-%2").arg(BigFolderId).arg(i));
    bool forward = true;
    for (auto _ : state) {
        // The steps of the drag run while the writer moves the mouse; the drop is what the writer waits for.
        state.PauseTiming();
        if (forward) {
            for (int row = 1000; row < 1004; ++row) {
                board->reorder().moveItem(row, row + 1);
                order.move(row, row + 1);
            }
        } else {
            for (int row = 1004; row > 1000; --row) {
                board->reorder().moveItem(row, row - 1);
                order.move(row, row - 1);
            }
        }
        forward = !forward;
        state.ResumeTiming();
        board->reorder().finishReorder();
        state.PauseTiming();
        const bool stored = !project.store.context()->hasChanges() && storedOrder(project.store) == order;
        state.ResumeTiming();
        if (!stored) {
            state.SkipWithError("the drop did not store the new order");
            break;
        }
    }
}
BENCHMARK(BM_DropSave)->Unit(benchmark::kMillisecond);

} // namespace
