// The peek panel over a project of 10,000 cards in 500 folders, measured as the writer waits for it: the panel
// built, slid in beside the editor, laid out and painted into an image; and one typed filter character to the
// list repainted with its matches.
#include "TestStore.h"
#include "board/PeekListModel.h"
#include "board/PeekTableViewController.h"
#include "core/CardProps.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "editors/NoResignTextField.h"
#include "platform/SideMenuNavigationController.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QListView>
#include <QSet>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int TopFolders = 25;
constexpr int SubFolders = 19;
constexpr int Folders = TopFolders * (1 + SubFolders);
constexpr int CardsPerFolder = 20;
constexpr int Cards = Folders * CardsPerFolder;
constexpr int HarbourTerms = 50;
const QString ProjectId = QStringLiteral("BENCH");
const QSize EditorSize(1000, 800);

static_assert(Folders == 500 && Cards == 10000);

// Folders "Act n" at the top, each holding "Scene n.m"; every folder holds 20 cards. Card i carries the term
// "harbour<i % 50>", so "harbour7" matches 200 cards.
void seed(ManagedObjectContext* context)
{
    auto* project = context->insertNew<Project>();
    project->setUniqueIdentifier(ProjectId);
    project->setProjectTitle(QStringLiteral("Bench"));
    int card = 0;
    const auto addCards = [&](const QString& folderId) {
        for (int i = 0; i < CardsPerFolder; ++i, ++card) {
            auto* item = context->insertNew<ProjectItem>();
            item->setUniqueIdentifier(QStringLiteral("CARD-%1").arg(card));
            item->setProjectId(ProjectId);
            item->setParentItemId(folderId);
            item->setItemType(1 + card % 8);
            item->setTitle(QStringLiteral("Card %1").arg(card));
            item->setTerms(QStringLiteral(" card c%1 harbour%2").arg(card).arg(card % HarbourTerms));
            item->setSummary(QStringLiteral("Summary of card %1, where the ferry comes in late.").arg(card));
            item->setDisplayOrder(i + 1);
        }
    };
    const auto addFolder = [&](const QString& id, const QString& parentId, const QString& title, int order) {
        auto* folder = context->insertNew<ProjectItem>();
        folder->setUniqueIdentifier(id);
        folder->setProjectId(ProjectId);
        folder->setParentItemId(parentId);
        folder->setItemType(ProjectItemTypes::Folder);
        folder->setTitle(title);
        folder->setDisplayOrder(CardsPerFolder + order);
        addCards(id);
    };
    for (int act = 0; act < TopFolders; ++act) {
        const QString actId = QStringLiteral("ACT-%1").arg(act);
        addFolder(actId, ItemIds::Top, QStringLiteral("Act %1").arg(act + 1), act + 1);
        for (int scene = 0; scene < SubFolders; ++scene)
            addFolder(QStringLiteral("%1-%2").arg(actId).arg(scene), actId,
                      QStringLiteral("Scene %1.%2").arg(act + 1).arg(scene + 1), scene + 1);
    }
    context->save();
}

// A plain screen standing in for the editor the panel slides over.
class Editor : public ViewController {};

// Counts the paints a widget receives, so a benchmark can wait for the window's own repaint.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

    // Runs the event loop, as the window does, until the widget has painted again; false after 5 s.
    bool waitForPaint(int before)
    {
        const QDeadlineTimer deadline(5000);
        while (paints == before && !deadline.hasExpired())
            QCoreApplication::processEvents();
        return paints > before;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

QImage paint(QWidget& window)
{
    QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    window.render(&image);
    return image;
}

// Whether the first card row (the top level holds none) was painted: its title is dark text on a light row.
bool firstCardPainted(PeekTableViewController& panel, QWidget& window, const QImage& image)
{
    int section = 0;
    while (section < panel.model()->sectionCount() && panel.model()->rowsInSection(section) == 0)
        ++section;
    const QModelIndex first = panel.model()->indexForCard(section, 0);
    const QRect rect = panel.tableView()->visualRect(first);
    if (!first.isValid() || !rect.isValid())
        return false;
    const QRect onImage =
        QRect(panel.tableView()->viewport()->mapTo(&window, rect.topLeft()), rect.size()) & image.rect();
    int dark = 0;
    for (int y = onImage.top(); y <= onImage.bottom(); ++y) {
        for (int x = onImage.left(); x <= onImage.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    }
    return dark > 0;
}

// The seeded store, just launched, and the editor shown in a window of a real size.
struct Bench {
    Bench() : store(std::make_unique<TestStore>())
    {
        seed(store->context());
        store->reopen();
        editor.resize(EditorSize);
        editor.show();
    }
    std::unique_ptr<TestStore> store;
    CardProps cardProps;
    Editor editor;
};

struct OpenPanel {
    PeekTableViewController* panel = nullptr;
    SideMenuNavigationController* menu = nullptr;
};

OpenPanel openPanel(ManagedObjectContext* context, CardProps* cardProps, Editor& editor)
{
    OpenPanel open;
    open.panel = new PeekTableViewController;
    open.panel->setManagedObjectContext(context);
    open.panel->setProjectId(ProjectId);
    open.panel->setFolderId(ItemIds::Top);
    open.panel->setCardProps(cardProps);
    open.menu = PeekTableViewController::openInSideView(open.panel, &editor, editor.rect());
    open.menu->presentFrom(&editor, false);
    return open;
}

// Goal: at most 150 ms from the click on "Peek" to the panel laid out and painted beside the editor.
void BM_OpenPeek10k(benchmark::State& state)
{
    Bench bench;
    TestStore* store = bench.store.get();
    CardProps& cardProps = bench.cardProps;
    Editor& editor = bench.editor;
    for (auto _ : state) {
        OpenPanel open = openPanel(store->context(), &cardProps, editor);
        // The window lays the panel out and paints it on the event loop, as it would for the writer.
        PaintWatch list(open.panel->tableView()->viewport());
        const bool painted = list.waitForPaint(0);
        const QImage screen = paint(editor);
        state.PauseTiming();
        const bool shown = painted && open.panel->model()->sectionCount() == Folders + 1 &&
                           firstCardPainted(*open.panel, editor, screen);
        delete open.menu;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The next panel opens on a store just launched, with none of the cards read yet.
        store->reopen();
        if (!shown) {
            state.SkipWithError("the panel did not show the project's cards");
            break;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenPeek10k)->Unit(benchmark::kMillisecond);

// Goal: at most 50 ms from one typed filter character to the list repainted with its matches.
void BM_PeekFilterKeystroke10k(benchmark::State& state)
{
    Bench bench;
    TestStore* store = bench.store.get();
    CardProps& cardProps = bench.cardProps;
    Editor& editor = bench.editor;
    editor.activateWindow();
    OpenPanel open = openPanel(store->context(), &cardProps, editor);
    // A header and a card row for each match: no folder of 20 cards holds two cards 50 apart.
    QSet<int> matchingFolders;
    int matches = 0;
    for (int card = 0; card < Cards; ++card) {
        if (card % HarbourTerms == 7) {
            matchingFolders.insert(card / CardsPerFolder);
            ++matches;
        }
    }
    const int expectedRows = int(matchingFolders.size()) + matches;
    NoResignTextField* field = open.panel->filterTextField();
    field->setFocus();
    PaintWatch list(open.panel->tableView()->viewport());
    QTest::keyClicks(field, QStringLiteral("harbour"));
    list.waitForPaint(list.paints);
    for (auto _ : state) {
        const int before = list.paints;
        QTest::keyClick(field, Qt::Key_7);
        const bool repainted = list.waitForPaint(before);
        state.PauseTiming();
        const QImage screen = paint(editor);
        const bool shown = repainted && field->text() == QStringLiteral("harbour7") && open.panel->filtering() &&
                           open.panel->model()->rowCount() == expectedRows &&
                           firstCardPainted(*open.panel, editor, screen);
        QTest::keyClick(field, Qt::Key_Backspace);
        list.waitForPaint(list.paints);
        if (!shown) {
            state.SkipWithError("the typed character did not narrow the list");
            break;
        }
        state.ResumeTiming();
    }
    delete open.menu;
}
BENCHMARK(BM_PeekFilterKeystroke10k)->Unit(benchmark::kMillisecond);

} // namespace
