// A second process for the board's recovery tests: the program opens a card in the full editor, the writer
// types, the editor's snapshot reaches the disk, and the process is then killed before anything is saved.
//   recovery_child STORE_PATH CARD_ID WORDS   prints "written" once the snapshot is on disk, then waits
#include "app/ScreenRegistry.h"
#include "core/AppDelegate.h"
#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "editors/PvEditViewController.h"
#include "platform/Application.h"
#include "platform/NavigationController.h"
#include "platform/Storyboard.h"
#include "richtext/PvTextView.h"

#include <QApplication>
#include <QMainWindow>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The same private folders as the test process that starts this one (it hands down HOME).
    QStandardPaths::setTestModeEnabled(true);
    QApplication qt(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("PlotvaneTests"));
    QApplication::setApplicationName(QStringLiteral("PlotvaneTests"));
    if (argc < 4)
        return 2;
    ScreenRegistry::registerScreens();
    AppDelegate app(QString::fromLocal8Bit(argv[1]));
    Application running(qt, app);
    app.didFinishLaunching();
    ManagedObjectContext* context = app.managedObjectContext();
    ProjectItem* card = DbHelpers::getItem(context, QString::fromUtf8(argv[2]));
    if (!card)
        return 3;
    auto* editor =
        qobject_cast<PvEditViewController*>(Storyboard::instantiate(PvEditViewController::StoryboardIdentifier));
    editor->setManagedObjectContext(context);
    editor->setCurrentObject(card);
    editor->setCurrentProjectId(card->projectId());
    editor->setCurrentFolderId(card->parentItemId());
    editor->setCurrentItemType(card->itemType());
    auto* root = qobject_cast<ViewController*>(app.window()->centralWidget());
    root->present(new NavigationController(editor), false);
    QTimer::singleShot(0, &qt, [editor, &qt, words = QString::fromUtf8(argv[3])] {
        editor->editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor->editor(), words);
        // The editor's own timer looks every ten seconds; a second controller with the editor's own snapshot
        // looks at once, so the test need not wait.
        auto* quick = new AutoSaveController(&qt);
        quick->setSaveInterval(0.01);
        quick->startSaveTimer(editor->currentProjectId(), false, [editor] { return editor->autoSaveSnapshot(); });
        quick->setAutoSave(true);
        auto* poll = new QTimer(&qt);
        QObject::connect(poll, &QTimer::timeout, &qt, [poll, editor] {
            if (!AutoSaveController::hasAutoSaveWithProjectId(editor->currentProjectId(), false))
                return;
            poll->stop();
            std::fputs("written\n", stdout);
            std::fflush(stdout);
        });
        poll->start(20);
    });
    return QApplication::exec();
}
