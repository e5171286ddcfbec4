#include "platform/ProgressHud.h"
#include "TestWait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

constexpr int graceMs = 40;
constexpr int minimumMs = 300;

class ProgressHudTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgressHud::reset();
        ProgressHud::setGraceTime(graceMs);
        ProgressHud::setMinimumDismissTime(minimumMs);
        window.resize(400, 300);
        window.show();
    }
    void TearDown() override
    {
        ProgressHud::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget window;
};

TEST_F(ProgressHudTest, workEndingWithinTheGraceTimeShowsNothing)
{
    ProgressHud::show();
    EXPECT_TRUE(ProgressHud::isActive());
    EXPECT_FALSE(ProgressHud::isVisible());
    bool completed = false;
    ProgressHud::dismissWithCompletion([&] { completed = true; });
    EXPECT_TRUE(completed);
    runEventsFor(graceMs * 3);
    EXPECT_FALSE(ProgressHud::isVisible());
    EXPECT_FALSE(ProgressHud::isActive());
    EXPECT_EQ(ProgressHud::view(), nullptr);
}

TEST_F(ProgressHudTest, shownIndicatorStaysForTheMinimumTimeBeforeCompleting)
{
    ProgressHud::showWithStatus(QStringLiteral("Exporting"));
    ASSERT_TRUE(waitFor([] { return ProgressHud::isVisible(); }, 2000));
    QElapsedTimer sinceShown;
    sinceShown.start();
    ASSERT_NE(ProgressHud::view(), nullptr);
    EXPECT_EQ(ProgressHud::view()->parentWidget(), &window);
    EXPECT_EQ(ProgressHud::view()->geometry(), window.rect());
    EXPECT_EQ(ProgressHud::status(), QStringLiteral("Exporting"));

    bool completed = false;
    ProgressHud::dismissWithCompletion([&] { completed = true; });
    EXPECT_FALSE(completed);
    EXPECT_TRUE(ProgressHud::isVisible());
    ASSERT_TRUE(waitFor([&] { return completed; }, 5000));
    EXPECT_GE(sinceShown.elapsed(), minimumMs - 20);
    EXPECT_FALSE(ProgressHud::isVisible());
}

TEST_F(ProgressHudTest, showingAgainCancelsAPendingDismissalButKeepsItsCompletion)
{
    ProgressHud::show();
    ASSERT_TRUE(waitFor([] { return ProgressHud::isVisible(); }, 2000));
    int completions = 0;
    ProgressHud::dismissWithCompletion([&] { ++completions; });
    ProgressHud::show();
    runEventsFor(minimumMs + 100);
    EXPECT_TRUE(ProgressHud::isVisible());
    EXPECT_EQ(completions, 0);
    ProgressHud::dismissWithCompletion([&] { ++completions; });
    ASSERT_TRUE(waitFor([&] { return completions == 2; }, 2000));
}

TEST_F(ProgressHudTest, onlyAMaskBlocksInputToTheWindow)
{
    ProgressHud::show();
    ASSERT_TRUE(waitFor([] { return ProgressHud::isVisible(); }, 2000));
    EXPECT_TRUE(ProgressHud::view()->testAttribute(Qt::WA_TransparentForMouseEvents));
    ProgressHud::reset();
    ProgressHud::setGraceTime(0);
    ProgressHud::setDefaultMaskType(ProgressHud::MaskType::Black);
    ProgressHud::show();
    ASSERT_TRUE(waitFor([] { return ProgressHud::isVisible(); }, 2000));
    EXPECT_FALSE(ProgressHud::view()->testAttribute(Qt::WA_TransparentForMouseEvents));
}

} // namespace
