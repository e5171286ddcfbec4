#include "board/CardViewHistoryManager.h"

#include "TestWait.h"
#include <QListView>
#include <QScrollBar>
#include <QStringListModel>
#include <gtest/gtest.h>

namespace {

class CardViewHistoryManagerTest : public ::testing::Test {
protected:
    CardViewHistoryManagerTest() : history(&view)
    {
        QStringList rows;
        for (int i = 0; i < 200; ++i)
            rows << QStringLiteral("Row %1").arg(i);
        model.setStringList(rows);
        view.setModel(&model);
        view.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        view.resize(300, 200);
        view.show();
    }
    QScrollBar* scroll() const { return view.verticalScrollBar(); }

    QStringListModel model;
    QListView view;
    CardViewHistoryManager history;
};

TEST_F(CardViewHistoryManagerTest, popScrollsToTheRowLeftCentred)
{
    history.pushWithSelected(120);
    history.reset();
    ASSERT_EQ(scroll()->value(), 0);
    history.pop();
    const QRect cell = view.visualRect(model.index(120));
    EXPECT_NEAR(cell.center().y(), view.viewport()->height() / 2, cell.height());
    EXPECT_TRUE(history.stack().isEmpty());
}

TEST_F(CardViewHistoryManagerTest, rowAtTheCountIsDroppedWithoutScrolling)
{
    history.pushWithSelected(12);
    model.setStringList(QStringList(12, QStringLiteral("x")));
    scroll()->setValue(0);
    history.pop();
    EXPECT_EQ(scroll()->value(), 0);
    EXPECT_TRUE(history.stack().isEmpty());
}

TEST_F(CardViewHistoryManagerTest, lastRowInsideTheCountIsShown)
{
    QStringList rows;
    for (int i = 0; i < 13; ++i)
        rows << QStringLiteral("Row %1").arg(i);
    model.setStringList(rows);
    view.resize(300, 60);
    history.pushWithSelected(12);
    scroll()->setValue(0);
    history.pop();
    EXPECT_GT(scroll()->value(), 0);
}

TEST_F(CardViewHistoryManagerTest, popOnAnEmptyStackDoesNothingAndLevelsNest)
{
    scroll()->setValue(40);
    history.pop();
    EXPECT_EQ(scroll()->value(), 40);
    history.pushWithSelected(3);
    history.pushWithSelected(7, 0);
    ASSERT_EQ(history.stack().size(), 2);
    EXPECT_EQ(history.stack().last().row, 7);
    history.pop();
    ASSERT_EQ(history.stack().size(), 1);
    EXPECT_EQ(history.stack().first().row, 3);
}

TEST_F(CardViewHistoryManagerTest, popAfterTheModelWentStillTakesTheLevelOff)
{
    history.pushWithSelected(5);
    view.setModel(nullptr);
    ASSERT_EQ(view.model(), nullptr);
    history.pop();
    EXPECT_TRUE(history.stack().isEmpty());
}

} // namespace
