#include "platform/SideMenuNavigationController.h"
#include "platform/SideMenuBackdrop.h"

#include "TestWait.h"
#include <QLineEdit>
#include <QShortcut>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A screen that counts its appearance hooks.
class CountingScreen : public ViewController {
public:
    int willAppear = 0;
    int didAppear = 0;
    int willDisappear = 0;
    int didDisappear = 0;

protected:
    void viewWillAppear(bool) override { ++willAppear; }
    void viewDidAppear(bool) override { ++didAppear; }
    void viewWillDisappear(bool) override { ++willDisappear; }
    void viewDidDisappear(bool) override { ++didDisappear; }
};

class SideMenuNavigationControllerTest : public ::testing::Test {
protected:
    SideMenuNavigationControllerTest()
    {
        presenter.resize(900, 600);
        presenter.show();
        SideMenuSettings settings;
        settings.menuWidth = 300;
        settings.presentDurationMs = 120;
        settings.dismissDurationMs = 120;
        screen = new CountingScreen;
        menu = new SideMenuNavigationController(screen, settings);
    }
    ~SideMenuNavigationControllerTest() override
    {
        delete menu;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    bool slidIn() const { return menu->x() == 0 && screen->didAppear > 0; }

    QWidget presenter;
    CountingScreen* screen;
    SideMenuNavigationController* menu;
};

TEST_F(SideMenuNavigationControllerTest, slidesInFromOutsideTheLeftEdgeOverAStillPresenter)
{
    menu->presentFrom(&presenter, true);
    EXPECT_EQ(menu->x(), -300);
    EXPECT_EQ(screen->willAppear, 1);
    EXPECT_EQ(screen->didAppear, 0);
    int seenBetween = 0;
    ASSERT_TRUE(waitFor([&] {
        seenBetween += (menu->x() > -300 && menu->x() < 0) ? 1 : 0;
        return slidIn();
    }));
    EXPECT_GT(seenBetween, 0);
    EXPECT_EQ(menu->geometry(), QRect(0, 0, 300, 600));
    EXPECT_EQ(menu->parentWidget(), &presenter);
    EXPECT_EQ(menu->backdrop()->geometry(), presenter.rect());
}

TEST_F(SideMenuNavigationControllerTest, escapeClosesItBeforeThePresentersShortcutAndGivesTheFocusBack)
{
    auto* typing = new QLineEdit(&presenter);
    typing->show();
    int presenterEscapes = 0;
    auto* escape =
        new QShortcut(QKeySequence(Qt::Key_Escape), &presenter, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    QObject::connect(escape, &QShortcut::activated, [&] { ++presenterEscapes; });
    presenter.activateWindow();
    ASSERT_TRUE(waitFor([&] { return presenter.isActiveWindow(); }));
    typing->setFocus();
    ASSERT_TRUE(typing->hasFocus());
    menu->presentFrom(&presenter, false);
    ASSERT_TRUE(slidIn());
    ASSERT_TRUE(menu->hasFocus());
    QTest::keyClick(menu, Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !menu->isMenuPresented(); }));
    EXPECT_EQ(presenterEscapes, 0);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_FALSE(menu->backdrop()->isVisible());
    EXPECT_EQ(screen->willDisappear, 1);
    EXPECT_EQ(screen->didDisappear, 1);
    EXPECT_TRUE(typing->hasFocus());
    // Closed, the panel leaves Escape to the screen again.
    QTest::keyClick(typing, Qt::Key_Escape);
    EXPECT_EQ(presenterEscapes, 1);
}

TEST_F(SideMenuNavigationControllerTest, clickOnTheMenuItselfLeavesItOpen)
{
    menu->presentFrom(&presenter, false);
    QTest::mouseClick(menu, Qt::LeftButton, {}, QPoint(150, 300));
    runEventsFor(50);
    EXPECT_TRUE(menu->isMenuPresented());
    EXPECT_EQ(screen->willDisappear, 0);
}

TEST_F(SideMenuNavigationControllerTest, followsThePresentersHeight)
{
    menu->presentFrom(&presenter, false);
    presenter.resize(900, 450);
    EXPECT_EQ(menu->geometry(), QRect(0, 0, 300, 450));
    EXPECT_EQ(menu->backdrop()->geometry(), QRect(0, 0, 900, 450));
}

TEST_F(SideMenuNavigationControllerTest, closingWhileSlidingInEndsClosed)
{
    menu->presentFrom(&presenter, true);
    menu->dismissMenu(true);
    ASSERT_TRUE(waitFor([&] { return !menu->isMenuPresented(); }));
    runEventsFor(200);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(menu->x(), -300);
    EXPECT_EQ(screen->appearance(), ViewController::Appearance::Disappeared);
}

TEST_F(SideMenuNavigationControllerTest, presentsAgainAfterClosing)
{
    menu->presentFrom(&presenter, false);
    menu->dismissMenu(false);
    menu->presentFrom(&presenter, false);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->x(), 0);
    EXPECT_EQ(screen->willAppear, 2);
}

TEST_F(SideMenuNavigationControllerTest, widthChangeAppliesToAnOpenMenu)
{
    menu->presentFrom(&presenter, false);
    menu->setMenuWidth(480);
    EXPECT_EQ(menu->width(), 480);
}

} // namespace
