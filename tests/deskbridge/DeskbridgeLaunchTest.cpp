#include "core/AppDelegate.h"
#include "core/AppKitBridge.h"
#include "core/DeskbridgeLoader.h"
#include "core/ToolbarDelegate.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/NotificationCenter.h"
#include "platform/Toolbar.h"
#include "platform/ToolbarItem.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "TestWait.h"
#include <memory>

namespace {

// This binary has the plug-in beside it, where the program looks: launch loads it once for the process.
class DeskbridgeLaunchTest : public ::testing::Test {
protected:
    DeskbridgeLaunchTest()
        : app(std::make_unique<AppDelegate>(dir.filePath(QStringLiteral("CardStore.sqlite")))),
          running(*qobject_cast<QApplication*>(QCoreApplication::instance()), *app)
    {
        ::testing::internal::CaptureStderr();
        app->didFinishLaunching();
        launchLog = QString::fromStdString(::testing::internal::GetCapturedStderr());
        app->setQuitHandler([this] { ++quits; });
    }
    ~DeskbridgeLaunchTest() override
    {
        while (Alert* alert = Alert::topmost())
            alert->trigger(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    ToolbarItem* searchItem() const
    {
        const int index = app->toolbar()->indexOfItemWithIdentifier(ToolbarDelegate::search);
        return index < 0 ? nullptr : app->toolbar()->items().at(index);
    }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> app;
    Application running;
    QString launchLog;
    int quits = 0;
};

TEST_F(DeskbridgeLaunchTest, launchLoadsThePluginOnceAndItHearsOfEachWindow)
{
    QObject* controller = AppKitBridge::appKitController();
    ASSERT_NE(controller, nullptr) << qPrintable(launchLog);
    EXPECT_STREQ(controller->metaObject()->className(), "Deskbridge::AppKitController");
    EXPECT_TRUE(launchLog.contains(QLatin1String("_marzipan_setupWindow: ")));
    EXPECT_EQ(launchLog.count(QLatin1String("_marzipan_setupWindow: ")), 1) << qPrintable(launchLog);

    // A second launch in the same process keeps the one controller and loads nothing.
    AppDelegate another(dir.filePath(QStringLiteral("Other.sqlite")));
    ::testing::internal::CaptureStderr();
    another.didFinishLaunching();
    const QString log = QString::fromStdString(::testing::internal::GetCapturedStderr());
    EXPECT_EQ(AppKitBridge::appKitController(), controller);
    EXPECT_FALSE(log.contains(QLatin1String("[APPKIT BUNDLE]")));
    EXPECT_EQ(log.count(QLatin1String("_marzipan_setupWindow: ")), 1) << qPrintable(log);

    // Any sender's notice reaches it.
    ::testing::internal::CaptureStderr();
    int sender = 0;
    NotificationCenter::defaultCenter().post(AppKitBridge::WindowForSceneNotification, &sender);
    EXPECT_EQ(QString::fromStdString(::testing::internal::GetCapturedStderr()),
              QStringLiteral("_marzipan_setupWindow: (null)\n"));
}

TEST_F(DeskbridgeLaunchTest, boardSearchGoesThroughThePluginsFieldAndSurvivesReinsertion)
{
    QStringList searches;
    app->search = [&](const QString& text) {
        searches << text;
    };
    app->toolbar()->insertItemWithItemIdentifier(ToolbarDelegate::search, 0);
    ToolbarItem* item = searchItem();
    ASSERT_NE(item, nullptr);
    auto* field = qobject_cast<QLineEdit*>(item->view());
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->placeholderText(), QStringLiteral("Search Cards"));
    field->setText(QStringLiteral("harbour"));
    EXPECT_EQ(searches, QStringList{QStringLiteral("harbour")});
    EXPECT_EQ(app->currentSearchText, QStringLiteral("harbour"));

    // The board leaves and comes back: the scene's one item returns, with its field on screen again.
    app->toolbar()->removeItemAtIndex(app->toolbar()->indexOfItemWithIdentifier(ToolbarDelegate::search));
    app->toolbar()->insertItemWithItemIdentifier(ToolbarDelegate::search, 0);
    ASSERT_EQ(searchItem(), item);
    QCoreApplication::processEvents();
    EXPECT_TRUE(field->isVisibleTo(app->window()));
    app->toolbar()->removeItemAtIndex(app->toolbar()->indexOfItemWithIdentifier(ToolbarDelegate::search));
}

TEST_F(DeskbridgeLaunchTest, closeButtonStillRunsTheQuitGuardAfterTheTerminationWatch)
{
    QObject* controller = AppKitBridge::appKitController();
    ASSERT_NE(controller, nullptr);
    const int watchedBefore = controller->property("watchedWindowCount").toInt();
    app->didBecomeActive();
    ASSERT_TRUE(waitFor([&] { return controller->property("watchedWindowCount").toInt() > watchedBefore; }));

    app->hasPrimaryCardEdits = true;
    app->window()->close();
    EXPECT_TRUE(app->window()->isVisible());
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->title(), AppDelegate::UnsavedChangesTitle);
    EXPECT_EQ(quits, 0);
}

} // namespace
