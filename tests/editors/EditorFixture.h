#pragma once

#include "Required.h"
#include "TestKeyboard.h"
#include "TestWait.h"
#include "core/AppDelegate.h"
#include "core/AutoSaveController.h"
#include "core/AutoSaveSnapshot.h"
#include "core/DbHelpers.h"
#include "core/EditorState.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/ProjectStat.h"
#include "core/StoreConstants.h"
#include "dialogs/MacCardRename.h"
#include "editors/EditorCommands.h"
#include "editors/EditorPrompts.h"
#include "editors/PvEditViewController.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/BarButtonItem.h"
#include "platform/Delays.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/ProgressHud.h"
#include "platform/SerialQueue.h"
#include "platform/Storyboard.h"
#include "platform/UserDefaults.h"
#include "platform/store/ManagedObjectContext.h"
#include "richtext/PvTextView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

// The application launched on a fresh store holding one project with a folder and a Story card in it, and a
// full editor made from the storyboard, presented full screen over the project list as the board does.
class EditorFixture : public ::testing::Test {
protected:
    static inline const QString ProjectId = QStringLiteral("PROJECT-1");
    static inline const QString FolderId = QStringLiteral("FOLDER-1");
    static inline const QString CardId = QStringLiteral("CARD-1");
    static inline const QString CardText = QStringLiteral("The lamp was lit at dusk.");

    EditorFixture()
        : app(std::make_unique<AppDelegate>(dir.filePath(QStringLiteral("CardStore.sqlite")))),
          running(*qobject_cast<QApplication*>(QCoreApplication::instance()), *app)
    {
        Delays::setFactor(0);
        UserDefaults::standard().removeObject(PvTextView::ZoomKey);
        app->didFinishLaunching();
        app->window()->resize(1280, 800);
        seed();
    }
    void TearDown() override
    {
        EXPECT_EQ(background.moments(), 0) << "the application went to the background during the test";
    }
    ~EditorFixture() override
    {
        for (Alert* alert : Alert::presented())
            alert->done(0);
        if (ViewController* root = rootScreen(); root && root->presentedViewController())
            root->dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, false);
        app.reset();
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    ManagedObjectContext* context() const { return app->managedObjectContext(); }
    ViewController* rootScreen() const { return qobject_cast<ViewController*>(app->window()->centralWidget()); }

    ProjectItem* addItem(const QString& id, qint64 type, const QString& title, const QString& parent, qint64 order)
    {
        auto* item = context()->insertNew<ProjectItem>();
        item->setUniqueIdentifier(id);
        item->setProjectId(ProjectId);
        item->setParentItemId(parent);
        item->setItemType(type);
        item->setTitle(title);
        item->setDisplayOrder(order);
        return item;
    }
    void seed()
    {
        auto* project = context()->insertNew<Project>();
        project->setUniqueIdentifier(ProjectId);
        project->setProjectTitle(QStringLiteral("Harbour"));
        project->setLastModified(QDateTime::currentDateTime().addDays(-3));
        ProjectItem* folder = addItem(FolderId, ProjectItemTypes::Folder, QStringLiteral("Part One"), ItemIds::Top, 1);
        folder->setLastModified(QDateTime::currentDateTime().addDays(-3));
        ProjectItem* card = addItem(CardId, ProjectItemTypes::Story, QStringLiteral("Lighthouse"), FolderId, 1);
        card->setWordCount(6);
        card->setLastModified(QDateTime::currentDateTime().addDays(-3));
        addItem(QStringLiteral("CARD-2"), ProjectItemTypes::Person, QStringLiteral("Mara"), FolderId, 2);
        addItem(QStringLiteral("CARD-3"), ProjectItemTypes::Idea, QStringLiteral("Storm"), FolderId, 3);
        QTextDocument body;
        body.setPlainText(CardText);
        auto* document = context()->insertNew<ProjectItemDocument>();
        document->setUniqueIdentifier(QStringLiteral("DOC-1"));
        document->setProjectId(ProjectId);
        document->setParentItemId(CardId);
        document->setMimetype(DocumentMimeTypes::RichText);
        document->setContent(*RichTextDocumentFormat::getData(body, 1.0));
        ASSERT_FALSE(context()->save());
    }

    // The editor for cardId (empty: a new card), shown and loaded.
    PvEditViewController* open(const QString& cardId = CardId, const std::optional<QVariantMap>& snapshot = {},
                               PresentationStyle style = PresentationStyle::FullScreen)
    {
        auto* editor =
            required(dynamic_cast<PvEditViewController*>(Storyboard::instantiate(QStringLiteral("editView"))),
                     "the storyboard's text editor");
        editor->setManagedObjectContext(context());
        editor->setCurrentObject(cardId.isEmpty() ? nullptr : DbHelpers::getItem(context(), cardId));
        editor->setCurrentProjectId(ProjectId);
        editor->setCurrentFolderId(FolderId);
        editor->setCurrentItemType(ProjectItemTypes::Story);
        editor->setAutoSaveData(snapshot);
        editor->setAchievementsManager(achievements);
        editor->addedRecord = [this](ProjectItem* item) {
            added.append(item);
        };
        navigation = new NavigationController(editor);
        rootScreen()->present(navigation, false, {}, style);
        EXPECT_TRUE(waitFor([editor] { return editor->contentLoaded(); }));
        return editor;
    }
    bool isOpen() const { return rootScreen()->presentedViewController() != nullptr; }

    void type(PvEditViewController* editor, const QString& text)
    {
        editor->editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor->editor(), text);
    }
    // Gives the card of editor a new title through its Title row; the title is not stored until its Save.
    void rename(PvBaseEditor* editor, const QString& title) const
    {
        QMenu* menu = editor->overflowButton()->menu();
        emit menu->aboutToShow();
        for (QAction* action : menu->actions()) {
            if (action->text() == EditorCommands::TitleRow)
                action->trigger();
        }
        Alert* alert = nullptr;
        ASSERT_TRUE(waitFor([&] { return (alert = alertTitled(MacCardRename::CardTitle)) != nullptr; }));
        ASSERT_EQ(alert->textFields().size(), 1);
        alert->textFields().first()->setText(title);
        ASSERT_TRUE(press(alert, 0));
        ASSERT_EQ(editor->fullTitle(), title);
    }
    // Presses Save of a text or sketch editor and waits for the save to end; answers whether it succeeded.
    template <class Editor> bool save(Editor* editor)
    {
        bool finished = false;
        bool result = false;
        const auto connection = QObject::connect(editor, &Editor::saveFinished, [&](bool saved) {
            finished = true;
            result = saved;
        });
        editor->saveButton()->trigger();
        EXPECT_TRUE(waitFor([&] { return finished; }));
        QObject::disconnect(connection);
        return result;
    }
    Alert* alertTitled(const QString& title) const
    {
        for (Alert* alert : Alert::presented()) {
            if (alert->title() == title)
                return alert;
        }
        return nullptr;
    }
    template <class T> qint64 countOf(const QString& predicate = {}, const QVariantList& arguments = {})
    {
        FetchRequest request = T::fetchRequest();
        if (!predicate.isEmpty())
            request.setPredicate(predicate, arguments);
        return context()->count(request);
    }
    // SQL run on a connection of its own, as another program would.
    void rawExecute(const QString& sql) const
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(storePath().toUtf8().constData(), &db), SQLITE_OK);
        char* message = nullptr;
        const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
        EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
        sqlite3_free(message);
        sqlite3_close(db);
    }
    // One value of the store file as another program reads it, through a connection of its own; null when no row
    // answers.
    QByteArray storedValue(const QString& sql) const
    {
        sqlite3* db = nullptr;
        QByteArray value;
        if (sqlite3_open_v2(storePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK &&
                sqlite3_step(statement) == SQLITE_ROW) {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, 0));
                value = QByteArray(bytes, sqlite3_column_bytes(statement, 0));
            }
            sqlite3_finalize(statement);
        }
        sqlite3_close(db);
        return value;
    }
    // The card's body bytes in the store file: in its document, and on the card itself.
    QByteArray storedDocumentBytes(const QString& cardId) const
    {
        return storedValue(
            QStringLiteral("SELECT content FROM ProjectItemDocument WHERE parentItemId = '%1'").arg(cardId));
    }
    QByteArray storedCardBytes(const QString& cardId) const
    {
        return storedValue(QStringLiteral("SELECT content FROM ProjectItem WHERE uniqueIdentifier = '%1'").arg(cardId));
    }
    // Bytes no reader accepts: a property-list header over nothing that decodes.
    static QByteArray unreadableBytes()
    {
        static const char bytes[] = "bplist00\x00\x01\x02 not an archive";
        return QByteArray(bytes, sizeof(bytes) - 1);
    }
    // Moves cardId's body out of its document onto the card itself, as older cards keep it.
    void keepBodyOnTheCard(const QString& cardId, const QByteArray& body)
    {
        if (ProjectItemDocument* document = DbHelpers::getItemDocument(context(), cardId))
            context()->deleteObject(document);
        DbHelpers::getItem(context(), cardId)->setContent(body);
        ASSERT_FALSE(context()->save());
    }

    // A screen shown full screen over editor and closed again, as a card opened from inside it is: the editor
    // leaves the screen and shows again.
    static void coverAndUncover(ViewController* editor)
    {
        auto* cover = new ViewController;
        editor->present(cover, false);
        ASSERT_FALSE(editor->isOnScreen());
        cover->dismiss(false);
        ASSERT_TRUE(editor->isOnScreen());
    }

    // Stands in for the snapshot the editor's autosave writes, so that a test sees whether a save removes it.
    QString writeStandInSnapshot() const
    {
        const QString path = *AutoSaveController::autoSavePath(ProjectId, false);
        QDir().mkpath(AutoSaveController::autoSaveDirectory());
        // Words the board would offer: a file it cannot read would be no one's and any editor's to write over.
        const QVariantMap waiting{{AutoSaveController::kProjectIdKey, ProjectId},
                                  {AutoSaveController::kContentKey, QByteArray("snapshot")}};
        EXPECT_TRUE(AutoSaveSnapshot::write(path, waiting)) << path.toStdString();
        return path;
    }
    // One look of the shown editor's own snapshot timer, now rather than after its ten seconds: the editor leaves the
    // screen and comes back with a short interval, as a sheet closing over it does. False when the look wrote
    // nothing of a change.
    template <class Editor> bool tick(Editor* editor)
    {
        AutoSaveController* snapshots = editor->autoSaveController();
        if (!snapshots)
            return false;
        snapshots->setSaveInterval(0.01);
        ViewController* shown = editor->navigationController();
        ViewController::transitionAppearance(shown, false, false);
        ViewController::transitionAppearance(shown, true, false);
        const bool looked = waitFor([snapshots] { return !snapshots->autoSave(); }, 10000);
        snapshots->setSaveInterval(AutoSaveController::SaveIntervalSeconds);
        return AutoSaveController::snapshotQueue().waitForDone(5000) && looked;
    }
    // The bytes the stand-in snapshot was kept aside as.
    static QByteArray keptAside(bool secondary = false)
    {
        QFile file(*AutoSaveController::autoSavePath(ProjectId, secondary) + AutoSaveController::AsideSuffix);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QByteArray snapshotFileBytes(bool secondary = false)
    {
        QFile file(*AutoSaveController::autoSavePath(ProjectId, secondary));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The store refuses `statement` (for example "INSERT ON ProjectItem") as a full disk would, until allowWrites().
    void refuseWrites(const QString& statement) const
    {
        rawExecute(QStringLiteral("CREATE TRIGGER refuse BEFORE %1 BEGIN SELECT RAISE(ABORT, 'disk refused'); END;")
                       .arg(statement));
    }
    void allowWrites() const { rawExecute(QStringLiteral("DROP TRIGGER refuse")); }
    void dismissSaveError() const
    {
        Alert* error = alertTitled(DbHelpers::SaveErrorTitle);
        ASSERT_TRUE(error) << "no save error was shown";
        ASSERT_TRUE(press(error, 0));
    }
    // Presses Cancel of an editor holding changes, answers Discard and waits until the editor has closed.
    template <class Editor> void discardChanges(Editor* editor)
    {
        editor->cancelButton()->trigger();
        Alert* discard = alertTitled(EditorPrompts::DiscardChangesTitle);
        ASSERT_TRUE(discard) << "Cancel did not ask whether to discard";
        ASSERT_TRUE(press(discard, 0));
        ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    }
    // A writer giving up after a failed save: Save while the store refuses `statement`, the error closed, the store
    // writable again, then Cancel and Discard.
    template <class Editor> void failSaveThenDiscard(Editor* editor, const QString& statement)
    {
        ASSERT_NO_FATAL_FAILURE(refuseWrites(statement));
        ASSERT_FALSE(save(editor));
        ASSERT_NO_FATAL_FAILURE(dismissSaveError());
        ASSERT_NO_FATAL_FAILURE(allowWrites());
        ASSERT_NO_FATAL_FAILURE(discardChanges(editor));
    }
    QString storePath() const { return dir.filePath(QStringLiteral("CardStore.sqlite")); }
    // Another copy of the application changing the store (see EditorStoreWriterMain.cpp for the commands).
    void runWriter(const QStringList& arguments)
    {
        QProcess writer;
        writer.start(QStringLiteral(EDITOR_STORE_WRITER_PATH), QStringList{storePath()} + arguments);
        ASSERT_TRUE(writer.waitForFinished(30000));
        ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> app;
    Application running;
    BackgroundWatch background;
    NavigationController* navigation = nullptr;
    // Handed to the editors open() makes, as the board hands its own.
    AchievementsManager* achievements = nullptr;
    QList<ProjectItem*> added;
};
