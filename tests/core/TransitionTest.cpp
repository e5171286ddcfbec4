#include "core/AppDelegate.h"
#include "core/RootTransition.h"
#include "core/TransitionOptions.h"
#include "platform/Delays.h"
#include "platform/ViewController.h"

#include "TestWait.h"
#include <QGraphicsOpacityEffect>
#include <QMainWindow>
#include <QPointer>
#include <QPropertyAnimation>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class HookedScreen : public ViewController {
public:
    explicit HookedScreen(QString name, QStringList* log) : m_name(std::move(name)), m_log(log) {}

protected:
    void viewWillAppear(bool) override { *m_log << m_name + QStringLiteral(".willAppear"); }
    void viewDidAppear(bool) override { *m_log << m_name + QStringLiteral(".didAppear"); }
    void viewWillDisappear(bool) override { *m_log << m_name + QStringLiteral(".willDisappear"); }
    void viewDidDisappear(bool) override { *m_log << m_name + QStringLiteral(".didDisappear"); }

private:
    QString m_name;
    QStringList* m_log;
};

std::shared_ptr<TransitionOptions> revealFromRight()
{
    return std::make_shared<TransitionOptions>(TransitionOptions::Direction::toRight,
                                               TransitionOptions::Curve::easeInOut);
}

class TransitionTest : public ::testing::Test {
protected:
    TransitionTest()
    {
        Delays::setFactor(0);
        window.resize(1024, 768);
        window.setCentralWidget(first);
        window.show();
        ViewController::transitionAppearance(first, true, false);
        log.clear();
    }
    ~TransitionTest() override { Delays::setFactor(1); }

    QStringList log;
    QMainWindow window;
    HookedScreen* first = new HookedScreen(QStringLiteral("list"), &log);
};

TEST(TransitionOptionsTest, directionAndStyleAloneLeaveTheDefaults)
{
    TransitionOptions options(TransitionOptions::Direction::fade, TransitionOptions::Curve::easeIn);
    EXPECT_DOUBLE_EQ(options.duration, 0.3);
    EXPECT_FALSE(options.background.has_value());
    EXPECT_FALSE(options.completionBlock);
    EXPECT_EQ(options.previousViewController, nullptr);
    options.animationDidStop(true);
}

TEST_F(TransitionTest, replacedRootStaysAliveAndCompletionRunsAfterTheHooks)
{
    auto* second = new HookedScreen(QStringLiteral("board"), &log);
    auto options = revealFromRight();
    std::optional<bool> finished;
    RootTransition::setRootViewController(&window, second, options, [&](bool done) {
        log << QStringLiteral("completion");
        finished = done;
    });
    EXPECT_EQ(window.centralWidget(), second);
    EXPECT_EQ(options->previousViewController, first);
    EXPECT_FALSE(finished.has_value());
    ASSERT_TRUE(waitFor([&] { return finished.has_value(); }));
    EXPECT_TRUE(*finished);
    EXPECT_EQ(log, QStringList({"list.willDisappear", "board.willAppear", "list.didDisappear", "board.didAppear",
                                "completion"}));

    // The project list comes back whole.
    QPointer<HookedScreen> list(first);
    ASSERT_FALSE(list.isNull());
    EXPECT_FALSE(list->isVisible());
    RootTransition::setRootViewController(&window, first, revealFromRight());
    ASSERT_TRUE(waitFor([&] { return first->appearance() == ViewController::Appearance::Appeared; }));
    EXPECT_EQ(window.centralWidget(), first);
}

TEST_F(TransitionTest, previousRootIsRememberedOnlyWeakly)
{
    auto options = revealFromRight();
    RootTransition::setRootViewController(&window, new HookedScreen(QStringLiteral("board"), &log), options);
    ASSERT_EQ(options->previousViewController, first);
    delete first;
    EXPECT_EQ(options->previousViewController, nullptr);
}

TEST_F(TransitionTest, animatedRevealEndsAndRemovesItsCover)
{
    Delays::setFactor(1);
    auto options = revealFromRight();
    options->duration = 0.05;
    bool finished = false;
    RootTransition::setRootViewController(&window, new HookedScreen(QStringLiteral("board"), &log), options,
                                          [&](bool done) { finished = done; });
    EXPECT_NE(window.findChild<QWidget*>(QStringLiteral("rootTransitionCover")), nullptr);
    ASSERT_TRUE(waitFor([&] { return finished; }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("rootTransitionCover")), nullptr);
    EXPECT_DOUBLE_EQ(options->duration, 0.05);
}

TEST_F(TransitionTest, closingTheWindowMidRevealStillEndsTheTransition)
{
    Delays::setFactor(1);
    // Declared first, so a failed check that leaves early closes the window while this is still alive.
    std::optional<bool> finished;
    auto ownWindow = std::make_unique<QMainWindow>();
    ownWindow->setCentralWidget(new QWidget);
    ownWindow->show();
    // A fade long enough never to end on its own here: the picture fades where it stands, for the time asked.
    auto options = std::make_shared<TransitionOptions>(TransitionOptions::Direction::fade,
                                                       TransitionOptions::Curve::easeInOut);
    options->duration = 10.0;
    RootTransition::setRootViewController(ownWindow.get(), new QWidget, options,
                                          [&](bool done) { finished = done; });
    QPointer<QWidget> cover = ownWindow->findChild<QWidget*>(QStringLiteral("rootTransitionCover"));
    ASSERT_FALSE(cover.isNull());
    const QPoint coverStart = cover->pos();
    auto* animation = cover->findChild<QPropertyAnimation*>();
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->duration(), 10000);
    QPointer<QGraphicsOpacityEffect> fade = qobject_cast<QGraphicsOpacityEffect*>(cover->graphicsEffect());
    ASSERT_FALSE(fade.isNull());
    EXPECT_TRUE(waitFor([&] { return fade.isNull() || fade->opacity() < 1.0; }));
    ASSERT_FALSE(cover.isNull());
    EXPECT_EQ(cover->pos(), coverStart);
    EXPECT_FALSE(finished.has_value());
    ownWindow.reset();
    ASSERT_TRUE(finished.has_value());
    EXPECT_FALSE(*finished);
}

TEST(AppDelegateSlideTest, slideWithoutAWindowChangesNothing)
{
    AppDelegate delegate;
    QWidget screen;
    delegate.slideIn(&screen);
    delegate.slideOut(&screen);
    EXPECT_EQ(screen.parentWidget(), nullptr);
}

TEST(AppDelegateSlideTest, leavingAProjectEndsItsScreenButKeepsTheProjectList)
{
    Delays::setFactor(0);
    QTemporaryDir dir;
    AppDelegate delegate(dir.filePath(QStringLiteral("CardStore.sqlite")));
    delegate.didFinishLaunching();
    QPointer<QWidget> list = delegate.window()->centralWidget();
    delegate.initialViewController = list;
    QPointer<QWidget> split = new QWidget;
    delegate.slideIn(split);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(list.isNull());
    EXPECT_EQ(delegate.window()->centralWidget(), split);

    delegate.slideOut(list);
    ASSERT_TRUE(waitFor([&] { return split.isNull(); }));
    EXPECT_EQ(delegate.window()->centralWidget(), list);
    Delays::setFactor(1);
}

} // namespace
