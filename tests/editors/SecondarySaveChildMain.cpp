// A second process for the secondary-card tests: the program opens the Story card CARD-1 in the full editor,
// opens a card over it as the secondary card (text CARD-2 or sketch SKETCH-1), the writer types or draws and
// saves it, and optionally leaves the Story card with Cancel; the test kills the process at that point.
//   secondary_save_child STORE_PATH text|sketch saved|left WORDS
// prints the step's name once it is done, then waits to be killed.
#include "TestWait.h"
#include "app/ScreenRegistry.h"
#include "board/CardOpener.h"
#include "core/AppDelegate.h"
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "editors/KuvBaseSketch.h"
#include "editors/PvEditViewController.h"
#include "editors/PvSummaryEditViewController.h"
#include "platform/Application.h"
#include "platform/BarButtonItem.h"
#include "platform/Delays.h"
#include "platform/NavigationController.h"
#include "platform/Storyboard.h"
#include "platform/ink/InkCanvas.h"
#include "richtext/PvTextView.h"

#include <QApplication>
#include <QMainWindow>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

int fail(const char* why)
{
    std::fprintf(stderr, "%s\n", why);
    std::fflush(stderr);
    return 4;
}

template <class Editor> bool saveAndWait(Editor* editor)
{
    bool saved = false;
    QObject::connect(editor, &Editor::saveFinished, [&saved](bool ok) { saved = ok; });
    QPointer<Editor> guard(editor);
    editor->saveButton()->trigger();
    return waitFor([&] { return saved; }, 60000) && waitFor([&] { return !guard || !guard->isVisible(); }, 60000);
}

// Opens the secondary card over the Story card, changes it and saves it.
int saveSecondary(PvEditViewController* story, ProjectItem* card, const QString& words)
{
    ViewController* shown = CardOpener::openCard(story, story->managedObjectContext(), card, {}, CardProps(), false,
                                                 QString(), std::nullopt, {});
    auto* navigation = qobject_cast<NavigationController*>(shown);
    ViewController* top = navigation ? navigation->topViewController() : shown;
    if (auto* popup = qobject_cast<PvSummaryEditViewController*>(top)) {
        if (!waitFor([popup] { return popup->contentLoaded(); }, 60000))
            return fail("the popup did not load");
        popup->editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(popup->editor(), words);
        return saveAndWait(popup) ? 0 : fail("the popup did not save");
    }
    if (auto* sketch = qobject_cast<KuvBaseSketch*>(top)) {
        if (!waitFor([sketch] { return sketch->contentLoaded(); }, 60000))
            return fail("the sketch did not load");
        InkCanvas* canvas = sketch->canvasView();
        QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(60, 200));
        QTest::mouseMove(canvas, QPoint(140, 240));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(220, 260));
        return saveAndWait(sketch) ? 0 : fail("the sketch did not save");
    }
    return fail("no secondary editor opened");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The same private folders as the test process that starts this one (it hands down HOME).
    QStandardPaths::setTestModeEnabled(true);
    QApplication qt(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("PlotvaneTests"));
    QApplication::setApplicationName(QStringLiteral("PlotvaneTests"));
    if (argc < 5)
        return 2;
    Delays::setFactor(0);
    ScreenRegistry::registerScreens();
    AppDelegate app(QString::fromLocal8Bit(argv[1]));
    Application running(qt, app);
    app.didFinishLaunching();
    app.window()->show();
    ManagedObjectContext* context = app.managedObjectContext();
    const bool sketch = QByteArray(argv[2]) == "sketch";
    const QByteArray step = argv[3];
    const QString words = QString::fromUtf8(argv[4]);
    ProjectItem* storyCard = DbHelpers::getItem(context, QStringLiteral("CARD-1"));
    ProjectItem* card = DbHelpers::getItem(context, sketch ? QStringLiteral("SKETCH-1") : QStringLiteral("CARD-2"));
    if (!storyCard || !card)
        return 3;
    auto* story =
        qobject_cast<PvEditViewController*>(Storyboard::instantiate(PvEditViewController::StoryboardIdentifier));
    story->setManagedObjectContext(context);
    story->setCurrentObject(storyCard);
    story->setCurrentProjectId(storyCard->projectId());
    story->setCurrentFolderId(storyCard->parentItemId());
    story->setCurrentItemType(storyCard->itemType());
    auto* root = qobject_cast<ViewController*>(app.window()->centralWidget());
    root->present(new NavigationController(story), false);
    QTimer::singleShot(0, &qt, [&] {
        int result = waitFor([story] { return story->contentLoaded(); }, 60000) ? saveSecondary(story, card, words)
                                                                                : fail("the Story card did not load");
        if (result == 0 && step == "left") {
            story->cancelButton()->trigger();
            if (!waitFor([root] { return root->presentedViewController() == nullptr; }, 60000))
                result = fail("the Story card did not close");
        }
        if (result != 0) {
            QApplication::exit(result);
            return;
        }
        std::fputs(step.constData(), stdout);
        std::fputs("\n", stdout);
        std::fflush(stdout);
    });
    return QApplication::exec();
}
