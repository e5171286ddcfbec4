#include "core/DbHelpersFixture.h"

#include "TestFiles.h"
#include "TestImages.h"
#include "TestScreenshots.h"
#include "TestWait.h"
#include "board/BoardMenus.h"
#include "board/ProjectActions.h"
#include "board/ProjectCellDelegate.h"
#include "board/ProjectListModel.h"
#include "board/ProjectViewController.h"
#include "export/ArchiveManager.h"
#include "platform/Alert.h"
#include "platform/Delays.h"
#include "platform/DocumentPicker.h"
#include "platform/ProgressHud.h"

#include "platform/NavigationController.h"
#include "stats/SettingsViewController.h"
#include "stats/StatisticsViewController.h"
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class ProjectActionsTest : public DbHelpersFixture {
protected:
    void SetUp() override
    {
        Delays::setFactor(0);
        for (int i = 1; i <= 3; ++i)
            m_projects << addProject(QStringLiteral("Novel %1").arg(i), i);
        m_projects[0]->setLastModified(QDateTime(QDate(2020, 1, 1), QTime(12, 0)));
        ASSERT_NO_FATAL_FAILURE(save());
        m_screen = std::make_unique<ProjectViewController>(context());
        m_screen->resize(1024, 768);
        m_screen->show();
        QSignalSpy reloaded(m_screen.get(), &ProjectViewController::listReloaded);
        m_screen->reloadAfterCloudChanges();
        ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1 && m_screen->model()->rowCount() == 3; }));
    }

    void TearDown() override
    {
        DocumentPicker::setChooser({});
        DocumentPicker::setPickChooser({});
        for (Alert* alert : Alert::presented())
            alert->trigger(alert->actionTitles().size() - 1);
        m_screen.reset();
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    QString write(const QString& name, const QByteArray& bytes) { return writeTestFile(m_dir, name, bytes); }

    static QByteArray png(int width, int height) { return solidPng(width, height, Qt::darkCyan, QImage::Format_RGB32); }

    QStringList menuTitles(QMenu* menu)
    {
        QStringList titles;
        for (QAction* action : menu->actions())
            titles << action->text();
        return titles;
    }

    // Whether every solid pixel the icon paints is the destructive red (edges blend and are left out), and the
    // symbol keeps its shape rather than becoming a red square.
    static bool drawnInRed(const QIcon& icon)
    {
        const QImage image = icon.pixmap(32, 32).toImage();
        int painted = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() != 255)
                    continue;
                ++painted;
                if (pixel.rgb() != BoardMenus::DestructiveColor.rgb())
                    return false;
            }
        }
        return painted > 0 && painted < image.width() * image.height();
    }

    QAction* action(QMenu* menu, const QString& title)
    {
        for (QAction* candidate : menu->actions())
            if (candidate->text() == title)
                return candidate;
        return nullptr;
    }

    std::unique_ptr<ProjectViewController> m_screen;
    QList<Project*> m_projects;
    QTemporaryDir m_dir;
};

TEST_F(ProjectActionsTest, gearOnTileOpensTheProjectMenuInsteadOfTheProject)
{
    QListView* view = m_screen->collectionView();
    const QRect tile = view->visualRect(m_screen->model()->index(0, 0));
    QSignalSpy clicked(view, &QListView::clicked);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, ProjectCellDelegate::menuButtonRect(tile).center());
    QMenu* menu = m_screen->findChild<QMenu*>(QStringLiteral("projectMenu"));
    ASSERT_TRUE(waitFor([&] {
        menu = m_screen->findChild<QMenu*>(QStringLiteral("projectMenu"));
        return menu && menu->isVisible();
    }));
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(menuTitles(menu),
              QStringList({"Title", "Set Cover", "Reset Cover", "Statistics", "Settings", "Backup", "Delete"}));
    // "Delete" is drawn and marked as the board's is; the row above it is not.
    EXPECT_TRUE(action(menu, QStringLiteral("Delete"))->property(BoardMenus::DestructiveProperty).toBool());
    EXPECT_TRUE(drawnInRed(action(menu, QStringLiteral("Delete"))->icon()));
    EXPECT_FALSE(action(menu, QStringLiteral("Backup"))->property(BoardMenus::DestructiveProperty).toBool());
    EXPECT_FALSE(drawnInRed(action(menu, QStringLiteral("Backup"))->icon()));
    if (qEnvironmentVariableIsSet("PLOTVANE_BOARD_SHOT")) {
        QApplication::processEvents();
        m_screen->grab().save(QStringLiteral("/tmp/project-list-gear.png"));
        menu->grab().save(QStringLiteral("/tmp/project-gear-menu.png"));
    }
    // "Delete" reaches its question.
    const QPointer<QMenu> open(menu);
    action(menu, QStringLiteral("Delete"))->trigger();
    EXPECT_TRUE(waitFor([&] { return !Alert::presented().isEmpty(); })) << "deleting asked nothing";
    if (open)
        open->close();
}

TEST_F(ProjectActionsTest, coverIsDecodedAtThreeHundredWideAndBadFilesGetTheirTexts)
{
    using Actions = ProjectActions;
    const Actions::Cover wide = Actions::coverFromFile(write(QStringLiteral("wide.png"), png(1200, 800)));
    ASSERT_TRUE(wide.error.isEmpty());
    EXPECT_EQ(QImage::fromData(wide.png).size(), QSize(300, 200));
    EXPECT_EQ(QImage::fromData(Actions::coverFromFile(write(QStringLiteral("s.png"), png(200, 100))).png).size(),
              QSize(200, 100));
    EXPECT_EQ(QImage::fromData(Actions::coverFromFile(write(QStringLiteral("e.png"), png(300, 10))).png).size(),
              QSize(300, 10));
    EXPECT_EQ(Actions::coverFromFile(write(QStringLiteral("t.png"), "just words")).error, Actions::NotAnImageMessage);
    EXPECT_EQ(Actions::coverFromFile(write(QStringLiteral("empty.png"), "")).error, Actions::UnreadableFileMessage);
    EXPECT_EQ(Actions::coverFromFile(m_dir.filePath(QStringLiteral("missing.png"))).error,
              Actions::UnreadableFileMessage);
    // A header that promises 40000 × 40000 pixels is refused before anything is decoded.
    EXPECT_EQ(Actions::coverFromFile(write(QStringLiteral("huge.ppm"), "P6\n40000 40000\n255\nabc")).error,
              Actions::NotAnImageMessage);
    EXPECT_EQ(Actions::coverFromFile(write(QStringLiteral("cut.png"), png(400, 400).left(60))).error,
              Actions::NotAnImageMessage);
}

TEST_F(ProjectActionsTest, setCoverStoresThePictureAndRefusalLeavesTheProject)
{
    DocumentPicker::setPickChooser([this](QWidget*, const QString&, const QStringList&, DocumentPicker::Done done) {
        done(write(QStringLiteral("cover.png"), png(1200, 800)));
    });
    m_screen->actions()->setProjectCoverPicture(m_projects[0]);
    EXPECT_EQ(QImage::fromData(m_projects[0]->image()).size(), QSize(300, 200));
    EXPECT_FALSE(context()->hasChanges());
    const QByteArray before = m_projects[0]->image();
    DocumentPicker::setPickChooser([this](QWidget*, const QString&, const QStringList&, DocumentPicker::Done done) {
        done(write(QStringLiteral("notes.png"), "not a picture"));
    });
    m_screen->actions()->setProjectCoverPicture(m_projects[0]);
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->message(), ProjectActions::NotAnImageMessage);
    EXPECT_EQ(m_projects[0]->image(), before);
}

TEST_F(ProjectActionsTest, resetCoverAsksThenClearsAndStamps)
{
    m_screen->actions()->resetProjectCoverPicture(m_projects[0]);
    Alert* alert = Alert::topmost();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), QStringLiteral("Reset Cover Picture"));
    EXPECT_EQ(alert->actionTitles(), QStringList({"Reset", "Cancel"}));
    EXPECT_EQ(alert->actionStyle(0), AlertActionStyle::Destructive);
    alert->trigger(0);
    EXPECT_TRUE(m_projects[0]->image().isEmpty());
    EXPECT_GT(m_projects[0]->lastModified(), QDateTime(QDate(2025, 1, 1), QTime(0, 0)));
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(ProjectActionsTest, statisticsAndSettingsRowsOpenTheSheetsOfThatProject)
{
    // Chosen from the tile's menu, as the writer does: the row must reach the project of that tile.
    const auto chooseRow = [this](int tile, const QString& title) {
        QMenu* menu = m_screen->showProjectMenu(m_screen->model()->index(tile, 0), QPoint(10, 10));
        ASSERT_NE(menu, nullptr);
        QAction* row = action(menu, title);
        ASSERT_NE(row, nullptr) << title.toStdString();
        row->trigger();
        menu->close();
    };
    const QString second = static_cast<Project*>(m_screen->model()->projectAt(1))->uniqueIdentifier();
    const QString third = static_cast<Project*>(m_screen->model()->projectAt(2))->uniqueIdentifier();
    ASSERT_NE(second, third);

    ASSERT_NO_FATAL_FAILURE(chooseRow(1, ProjectActions::StatisticsAction));
    auto* navigation = qobject_cast<NavigationController*>(m_screen->presentedViewController());
    ASSERT_NE(navigation, nullptr);
    auto* statistics = qobject_cast<StatisticsViewController*>(navigation->topViewController());
    ASSERT_NE(statistics, nullptr);
    EXPECT_EQ(statistics->projectId(), second);
    m_screen->presentedViewController()->dismiss(false);
    ASSERT_TRUE(waitFor([&] { return m_screen->presentedViewController() == nullptr; }));

    ASSERT_NO_FATAL_FAILURE(chooseRow(2, ProjectActions::SettingsAction));
    navigation = qobject_cast<NavigationController*>(m_screen->presentedViewController());
    ASSERT_NE(navigation, nullptr);
    auto* settings = qobject_cast<SettingsViewController*>(navigation->topViewController());
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->projectId(), third);
}

TEST_F(ProjectActionsTest, projectDeletedMeanwhileOpensNeitherStatisticsNorSettings)
{
    // The menu was open on the tile while a sync removed the project.
    context()->deleteObject(m_projects[1]);
    ASSERT_TRUE(m_projects[1]->isDeleted());
    m_screen->actions()->projectStatistics(m_projects[1]);
    m_screen->actions()->projectSettings(m_projects[1]);
    runEventsFor(20);
    EXPECT_EQ(m_screen->presentedViewController(), nullptr);
}

TEST_F(ProjectActionsTest, backupFromTheMenuAndRestoreFromTheContextButton)
{
    const QString target = m_dir.filePath(QStringLiteral("Novel 1 backup.zip"));
    DocumentPicker::setChooser([target](QWidget*, const QString& name, DocumentPicker::Done done) {
        EXPECT_TRUE(name.startsWith(QStringLiteral("Novel 1-Backup-")));
        done(target);
    });
    QSignalSpy backedUp(m_screen->actions()->archiveManager(), &ArchiveManager::backupFinished);
    QMenu* menu = m_screen->showProjectMenu(m_screen->model()->index(0, 0), QPoint(10, 10));
    ASSERT_NE(menu, nullptr);
    action(menu, ProjectActions::BackupAction)->trigger();
    menu->close();
    ASSERT_TRUE(waitFor([&] { return backedUp.count() == 1; }));
    EXPECT_TRUE(backedUp.at(0).at(0).toBool());
    ASSERT_TRUE(QFile::exists(target));
    ASSERT_NE(Alert::topmost(), nullptr);
    Alert::topmost()->trigger(0);

    DocumentPicker::setPickChooser(
        [target](QWidget*, const QString&, const QStringList&, DocumentPicker::Done done) { done(target); });
    QMenu* restoreMenu = m_screen->contextButton()->menu();
    ASSERT_NE(restoreMenu, nullptr);
    EXPECT_EQ(menuTitles(restoreMenu), QStringList({"Restore"}));
    QSignalSpy restored(m_screen->actions()->archiveManager(), &ArchiveManager::restoreFinished);
    restoreMenu->actions().first()->trigger();
    ASSERT_TRUE(waitFor([&] { return restored.count() == 1; }));
    EXPECT_TRUE(restored.at(0).at(0).toBool());
    ASSERT_TRUE(waitFor([&] { return m_screen->model()->rowCount() == 4; }));
    FetchRequest request = Project::fetchRequest();
    request.setPredicate(QStringLiteral("projectTitle == %@"), {QStringLiteral("Novel 1 backup")});
    const QList<ManagedObject*> found = context()->fetch(request);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(static_cast<Project*>(found[0])->displayOrder(), 4);
}
