#include "editors/CloudUpdateWatcher.h"

#include <QList>
#include <gtest/gtest.h>

namespace {

using Change = CloudUpdateWatcher::Change;

class CloudUpdateWatcherTest : public ::testing::Test {
protected:
    CloudUpdateWatcherTest()
    {
        watcher.changed = [this](Change change) {
            told.append(change);
        };
    }

    CloudUpdateWatcher watcher;
    QList<Change> told;
};

} // namespace

TEST_F(CloudUpdateWatcherTest, updatesWhileHeldAreToldOnceWhenTheHoldEnds)
{
    watcher.setHeld(true);
    watcher.report(Change::Updated);
    watcher.report(Change::Updated);
    EXPECT_TRUE(told.isEmpty());
    EXPECT_TRUE(watcher.isHeld());
    watcher.setHeld(false);
    EXPECT_EQ(told, QList<Change>{Change::Updated});
    EXPECT_FALSE(watcher.isHeld());
    // The held update was told: ending a hold again tells nothing more.
    watcher.setHeld(true);
    watcher.setHeld(false);
    EXPECT_EQ(told.size(), 1);
}

TEST_F(CloudUpdateWatcherTest, deletionIsToldAtOnceEvenWhileHeld)
{
    watcher.setHeld(true);
    watcher.report(Change::Deleted);
    EXPECT_EQ(told, QList<Change>{Change::Deleted});
    watcher.setHeld(false);
    EXPECT_EQ(told, QList<Change>{Change::Deleted});
}

TEST_F(CloudUpdateWatcherTest, nothingFoundIsNeverTold)
{
    // Without a store there is no history to mark or read.
    watcher.markSeen();
    EXPECT_EQ(watcher.check(), Change::None);
    watcher.report(Change::None);
    watcher.setHeld(true);
    watcher.report(Change::None);
    watcher.setHeld(false);
    EXPECT_TRUE(told.isEmpty());
    watcher.report(Change::Updated);
    EXPECT_EQ(told, QList<Change>{Change::Updated});
}
