#include "platform/ProgressHud.h"
#include "TestWait.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

constexpr int graceMs = 40;
constexpr int minimumMs = 300;
constexpr int longMinimumMs = 10 * 60 * 1000;

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
    // A minimum far longer than the test runs: whatever the load, the indicator must still be up when the
    // dismissal has had many chances to run.
    ProgressHud::setMinimumDismissTime(longMinimumMs);
    ProgressHud::showWithStatus(QStringLiteral("Exporting"));
    ASSERT_TRUE(waitFor([] { return ProgressHud::isVisible(); }));
    ASSERT_NE(ProgressHud::view(), nullptr);
    EXPECT_EQ(ProgressHud::view()->parentWidget(), &window);
    EXPECT_EQ(ProgressHud::view()->geometry(), window.rect());
    EXPECT_EQ(ProgressHud::status(), QStringLiteral("Exporting"));

    bool completed = false;
    ProgressHud::dismissWithCompletion([&] { completed = true; });
    EXPECT_FALSE(completed);
    EXPECT_TRUE(ProgressHud::isVisible());
    runEventsFor(minimumMs);
    EXPECT_FALSE(completed);
    EXPECT_TRUE(ProgressHud::isVisible());

    // Shown again and dismissed with no minimum left, it goes and completes both dismissals.
    ProgressHud::show();
    ProgressHud::setMinimumDismissTime(0);
    ProgressHud::dismiss();
    ASSERT_TRUE(waitFor([&] { return completed; }));
    EXPECT_FALSE(ProgressHud::isVisible());
}

TEST_F(ProgressHudTest, showingAgainCancelsAPendingDismissalButKeepsItsCompletion)
{
    ProgressHud::show();
    ASSERT_TRUE(waitFor([] { return ProgressHud::isVisible(); }));
    int completions = 0;
    ProgressHud::dismissWithCompletion([&] { ++completions; });
    ProgressHud::show();
    runEventsFor(minimumMs + 100);
    EXPECT_TRUE(ProgressHud::isVisible());
    EXPECT_EQ(completions, 0);
    ProgressHud::dismissWithCompletion([&] { ++completions; });
    ASSERT_TRUE(waitFor([&] { return completions == 2; }));
}

TEST_F(ProgressHudTest, onlyAMaskBlocksInputToTheWindow)
{
    ProgressHud::show();
    ASSERT_TRUE(waitFor([] { return ProgressHud::isVisible(); }));
    EXPECT_TRUE(ProgressHud::view()->testAttribute(Qt::WA_TransparentForMouseEvents));
    ProgressHud::reset();
    ProgressHud::setGraceTime(0);
    ProgressHud::setDefaultMaskType(ProgressHud::MaskType::Black);
    ProgressHud::show();
    ASSERT_TRUE(waitFor([] { return ProgressHud::isVisible(); }));
    EXPECT_FALSE(ProgressHud::view()->testAttribute(Qt::WA_TransparentForMouseEvents));
}

} // namespace
