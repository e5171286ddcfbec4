// The card board on a folder of 2,000 cards, measured as the writer waits for it: the board built from the
// store in a window of a real size, shown, laid out and its first screen painted into an image.
#include "TestStore.h"
#include "board/CardListModel.h"
#include "board/PvCardViewController.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QListView>
#include <benchmark/benchmark.h>

namespace {

constexpr int Cards = 2000;
constexpr int HarbourTerms = 50;
const QString ProjectId = QStringLiteral("BENCH");
const QSize WindowSize(1040, 800);

// How many of the folder's cards carry a term starting with prefix, worked out from how the cards were made.
int cardsMatching(const QString& prefix)
{
    int count = 0;
    for (int i = 0; i < Cards; ++i)
        count += QStringLiteral("harbour%1").arg(i % HarbourTerms).startsWith(prefix) ? 1 : 0;
    return count;
}

class BigFolder : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override
    {
        // A filter left by another run would open a narrower board.
        UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilter);
        UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilterParm);
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
            card->setTerms(QStringLiteral(" card c%1 harbour%2").arg(i).arg(i % HarbourTerms));
            card->setSummary(QStringLiteral("Summary of card %1").arg(i));
            card->setDisplayOrder(i + 1);
            card->setWordCount(i);
        }
        context->save();
    }
    void TearDown(const benchmark::State&) override { store.reset(); }

    // The board as a project opens it: built on the store, in a window of a real size, shown, then appearing.
    std::unique_ptr<PvCardViewController> openBoard()
    {
        auto board = std::make_unique<PvCardViewController>(store->context());
        board->setCurrentProjectId(ProjectId);
        board->setCurrentFolderId(ItemIds::Top);
        board->resize(WindowSize);
        board->show();
        ViewController::transitionAppearance(board.get(), true, false);
        return board;
    }

    static void closeBoard(std::unique_ptr<PvCardViewController> board)
    {
        ViewController::transitionAppearance(board.get(), false, false);
        board.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::unique_ptr<TestStore> store;
};

// The whole window painted as the screen would show it.
QImage paintScreen(QWidget& window)
{
    QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    window.render(&image);
    return image;
}

// Whether the first cell of the grid was laid out inside the window and painted: its title is dark text on
// a light cell, so a painted cell holds dark pixels and an empty or unlaid grid holds none.
bool firstCellPainted(const PvCardViewController& board, const QImage& image)
{
    QListView* grid = board.collectionView();
    if (board.model()->rowCount() == 0)
        return false;
    const QRect cell = grid->visualRect(board.model()->index(0, 0));
    if (!cell.isValid())
        return false;
    const QRect onImage = QRect(grid->viewport()->mapTo(&board, cell.topLeft()), cell.size()) & image.rect();
    int dark = 0;
    for (int y = onImage.top(); y <= onImage.bottom(); ++y) {
        for (int x = onImage.left(); x <= onImage.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    }
    return dark > 0;
}

// Goal: at most 100 ms from the query to a laid-out, painted first screen.
BENCHMARK_DEFINE_F(BigFolder, OpenBoard)(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<PvCardViewController> board = openBoard();
        const QImage screen = paintScreen(*board);
        state.PauseTiming();
        const bool shown = board->model()->rowCount() == Cards && firstCellPainted(*board, screen);
        closeBoard(std::move(board));
        // The next board opens on a store just launched, with none of the cards read yet.
        store->reopen();
        if (!shown) {
            state.SkipWithError("the board did not show the folder's cards");
            break;
        }
        state.ResumeTiming();
    }
}
BENCHMARK_REGISTER_F(BigFolder, OpenBoard)->Unit(benchmark::kMillisecond);

// Counts the paints a widget receives, so a benchmark can wait for the window's own repaint.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// Goal: at most 30 ms from one more (or one fewer) search character to the re-filtered board on screen.
BENCHMARK_DEFINE_F(BigFolder, SearchKeystroke)(benchmark::State& state)
{
    std::unique_ptr<PvCardViewController> board = openBoard();
    const PaintWatch grid(board->collectionView()->viewport());
    int reloads = 0;
    int paintsAtReload = 0;
    QObject::connect(board.get(), &PvCardViewController::boardReloaded, [&] {
        ++reloads;
        paintsAtReload = grid.paints;
    });
    const QString texts[] = {QStringLiteral("harbour1"), QStringLiteral("harbour")};
    const int expected[] = {cardsMatching(texts[0]), cardsMatching(texts[1])};
    int typed = 0;
    for (auto _ : state) {
        const int which = typed++ % 2;
        const int before = reloads;
        board->search(texts[which]);
        // The board reloads on the event loop, as while the writer types, and the window then repaints.
        const QDeadlineTimer deadline(5000);
        while ((reloads == before || grid.paints == paintsAtReload) && !deadline.hasExpired())
            QCoreApplication::processEvents();
        state.PauseTiming();
        const bool repainted = reloads > before && grid.paints > paintsAtReload;
        if (!repainted || board->model()->rowCount() != expected[which] ||
            !firstCellPainted(*board, paintScreen(*board))) {
            state.SkipWithError("the search did not show the matching cards");
            break;
        }
        state.ResumeTiming();
    }
    closeBoard(std::move(board));
}
BENCHMARK_REGISTER_F(BigFolder, SearchKeystroke)->Unit(benchmark::kMillisecond);

} // namespace
