#include "core/AppDelegate.h"
#include "TestWait.h"
#include "core/AppKitBridge.h"
#include "core/ProjectItem.h"
#include "platform/Alert.h"
#include "platform/Storyboard.h"
#include "platform/UserDefaults.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"

#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Counts what the application sends to the desktop plug-in.
class CountingPlugin : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void checkForUpdatesInBackground() { ++backgroundChecks; }
    Q_INVOKABLE void setupTerminationWatch() { ++terminationWatches; }
    int backgroundChecks = 0;
    int terminationWatches = 0;
};

class AppDelegateTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("CardStore.sqlite")); }
    QTemporaryDir m_dir;
};

TEST_F(AppDelegateTest, launchOpensTheStoreAndShowsAWindowOfTheMinimumSize)
{
    AppDelegate delegate(path());
    ASSERT_TRUE(delegate.didFinishLaunching());
    ASSERT_NE(delegate.managedObjectContext(), nullptr);
    EXPECT_TRUE(QFile::exists(path()));
    ASSERT_NE(delegate.window(), nullptr);
    EXPECT_EQ(delegate.window()->minimumSize(), QSize(1024, 768));
}

TEST_F(AppDelegateTest, launchWithNoScreensRegisteredStillShowsAWindow)
{
    // The program registers the screens; the launch itself registers none and relies on none.
    Storyboard::reset();
    AppDelegate delegate(path());
    ASSERT_TRUE(delegate.didFinishLaunching());
    EXPECT_TRUE(Storyboard::identifiers().isEmpty());
    ASSERT_NE(delegate.mainScene(), nullptr);
    EXPECT_NE(delegate.mainScene()->centralWidget(), nullptr);
}

TEST_F(AppDelegateTest, freshDefaultsAnswerTheRegisteredValues)
{
    AppDelegate::registerDefaults();
    UserDefaults& defaults = UserDefaults::standard();
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("PrefItemFilter")), 5120);
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("PrefCompactCards")));
    EXPECT_DOUBLE_EQ(defaults.doubleForKey(QStringLiteral("PrefEditorFontSize")), 1.25);
    EXPECT_DOUBLE_EQ(defaults.doubleForKey(QStringLiteral("PrefCompiledFontSize")), 1.25);
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("PrefPreferZoom")));
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("PrefFingerDrawing")));
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("PrefFingerDrawingWarned")));
}

TEST_F(AppDelegateTest, contextAlwaysMergesEvenWhenACallerSwitchedItOff)
{
    AppDelegate delegate(path());
    delegate.didFinishLaunching();
    delegate.managedObjectContext()->setAutomaticallyMergesChangesFromParent(false);
    EXPECT_TRUE(delegate.managedObjectContext()->automaticallyMergesChangesFromParent());
}

TEST_F(AppDelegateTest, quittingSavesPendingEditsBeforeTheProcessEnds)
{
    {
        AppDelegate delegate(path());
        delegate.didFinishLaunching();
        ManagedObject* item = delegate.managedObjectContext()->insertNewObject(ProjectItem::entityName());
        item->setValue(QStringLiteral("title"), QStringLiteral("unsaved words"));
        delegate.willTerminate();
    }
    AppDelegate reopened(path());
    reopened.didFinishLaunching();
    FetchRequest request(ProjectItem::entityName());
    request.setPredicate(QStringLiteral("title == 'unsaved words'"));
    EXPECT_EQ(reopened.managedObjectContext()->count(request), 1);
}

TEST_F(AppDelegateTest, unreadableStoreEndsTheProcessWithTheMessageAndKeepsTheFile)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("not a store, but somebody's file\n").repeated(100));
    file.close();

    EXPECT_EXIT(
        {
            AppDelegate delegate(path());
            delegate.didFinishLaunching();
        },
        ::testing::ExitedWithCode(EXIT_FAILURE), "Failed to load Core Data stack: ");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("not a store, but somebody's file\n").repeated(100));
}

TEST_F(AppDelegateTest, launchRunsItsStepsInOrder)
{
    AppDelegate delegate(path());
    delegate.didFinishLaunching();
    EXPECT_EQ(
        delegate.launchSteps(),
        QStringList({AppDelegate::StepLoadPlugin, AppDelegate::StepRegisterDefaults, AppDelegate::StepSetupCoreData,
                     AppDelegate::StepMinimumSize, AppDelegate::StepSetupToolbar, AppDelegate::StepKeyboardManager,
                     AppDelegate::StepNotificationPermission, AppDelegate::StepCheckForUpdates}));
    EXPECT_TRUE(delegate.window()->isVisible());
    EXPECT_EQ(delegate.mainScene(), delegate.window());
}

TEST_F(AppDelegateTest, pluginGetsOneBackgroundUpdateCheckAndAWatchPerActivation)
{
    CountingPlugin plugin;
    AppKitBridge::setAppKitController(&plugin);
    AppDelegate delegate(path());
    delegate.didFinishLaunching();
    EXPECT_EQ(plugin.backgroundChecks, 1);
    delegate.didBecomeActive();
    delegate.didBecomeActive();
    EXPECT_EQ(plugin.terminationWatches, 0);
    ASSERT_TRUE(waitFor([&] { return plugin.terminationWatches == 2; }));
}

TEST_F(AppDelegateTest, quitThatDidNotEndTheApplicationLeavesTheWindowsCloseGuarded)
{
    AppDelegate delegate(path());
    delegate.didFinishLaunching();
    int quits = 0;
    // An ending that does not happen, as when a window refuses to close or no event loop runs yet.
    delegate.setQuitHandler([&quits] { ++quits; });
    delegate.confirmQuit();
    ASSERT_EQ(quits, 1);
    // The application goes on; the writer changes a card, and Quit is refused.
    delegate.hasPrimaryCardEdits = true;
    delegate.confirmQuit();
    Alert* refused = Alert::topmost();
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(refused->title(), AppDelegate::UnsavedChangesTitle);
    EXPECT_EQ(quits, 1);
    refused->trigger(0);
    ASSERT_TRUE(waitFor([] { return Alert::topmost() == nullptr; }));
    // Closing the window is Quit too: the writer stays, and hears why.
    EXPECT_FALSE(delegate.window()->close());
    EXPECT_TRUE(delegate.window()->isVisible());
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->title(), AppDelegate::UnsavedChangesTitle);
    EXPECT_EQ(quits, 1);
    Alert::topmost()->trigger(0);
}

} // namespace

#include "AppDelegateTest.moc"
