#include "platform/NotificationCenter.h"

#include <QObject>
#include <QStringList>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QString kName = QStringLiteral("CardsChanged");

TEST(NotificationCenterTest, deliversInRegistrationOrderWithUserInfo)
{
    NotificationCenter center;
    QStringList calls;
    center.addObserver(kName, nullptr, [&](const Notification& n) {
        calls << QStringLiteral("a") + n.userInfo.value(QStringLiteral("id")).toString();
    });
    center.addObserver(
        QStringLiteral("Other"), nullptr, [&](const Notification&) { calls << QStringLiteral("other"); });
    center.addObserver(kName, nullptr, [&](const Notification& n) { calls << QStringLiteral("b") + n.name; });
    center.post(kName, nullptr, { { QStringLiteral("id"), 7 } });
    EXPECT_EQ(calls, QStringList({ QStringLiteral("a7"), QStringLiteral("b") + kName }));
}

TEST(NotificationCenterTest, senderFilterIgnoresOtherSenders)
{
    NotificationCenter center;
    int mine = 0;
    int any = 0;
    int ownerA = 0;
    int ownerB = 0;
    center.addObserver(kName, &ownerA, [&](const Notification&) { ++mine; });
    center.addObserver(kName, nullptr, [&](const Notification&) { ++any; });
    center.post(kName, &ownerB);
    center.post(kName);
    center.post(kName, &ownerA);
    EXPECT_EQ(mine, 1);
    EXPECT_EQ(any, 3);
}

TEST(NotificationCenterTest, observerRemovingItselfAndALaterOneDuringPostIsSafe)
{
    NotificationCenter center;
    int first = 0;
    int second = 0;
    int added = 0;
    int firstToken = 0;
    int secondToken = 0;
    firstToken = center.addObserver(kName, nullptr, [&](const Notification&) {
        ++first;
        center.removeObserver(firstToken);
        center.removeObserver(secondToken);
        center.addObserver(kName, nullptr, [&](const Notification&) { ++added; });
    });
    secondToken = center.addObserver(kName, nullptr, [&](const Notification&) { ++second; });
    center.post(kName);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(added, 0); // joined after this post began
    center.post(kName);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(added, 1);
}

TEST(NotificationCenterTest, destroyedOwnerStopsReceivingAndRemovedOwnerToo)
{
    NotificationCenter center;
    int calls = 0;
    auto* owner = new QObject;
    QObject kept;
    center.addObserver(
        kName, nullptr, [&](const Notification&) { ++calls; }, owner);
    center.addObserver(
        kName, nullptr, [&](const Notification&) { ++calls; }, owner);
    center.addObserver(
        kName, nullptr, [&](const Notification&) { calls += 10; }, &kept);
    delete owner;
    center.post(kName);
    EXPECT_EQ(calls, 10);
    center.removeObservers(&kept);
    center.post(kName);
    EXPECT_EQ(calls, 10);
}

TEST(NotificationCenterTest, ownerDestroyedOnAnotherThreadIsRemovedBeforeItsMemoryIsFreed)
{
    NotificationCenter center;
    auto* owner = new QObject;
    owner->moveToThread(nullptr);
    int calls = 0;
    center.addObserver(
        kName, nullptr, [&](const Notification&) { ++calls; }, owner);
    QThread* thread = QThread::create([owner] { delete owner; });
    thread->start();
    thread->wait();
    delete thread;
    center.post(kName);
    EXPECT_EQ(calls, 0);
}

TEST(NotificationCenterTest, registrationFromManyThreadsKeepsEveryObserver)
{
    NotificationCenter center;
    std::atomic<int> calls = 0;
    std::vector<QThread*> threads;
    for (int t = 0; t < 4; ++t) {
        threads.push_back(QThread::create([&] {
            for (int i = 0; i < 100; ++i) {
                const int token = center.addObserver(kName, nullptr, [&](const Notification&) { ++calls; });
                if (i % 2)
                    center.removeObserver(token);
                center.post(QStringLiteral("Unrelated"));
            }
        }));
        threads.back()->start();
    }
    for (QThread* thread : threads) {
        thread->wait();
        delete thread;
    }
    center.post(kName);
    EXPECT_EQ(calls, 200);
}

} // namespace
