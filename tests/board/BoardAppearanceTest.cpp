#include "board/BoardAppearance.h"
#include "TestWait.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "stats/SheetTestSupport.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

TEST(BoardAppearanceTest, darkSchemeColoursBarToolbarAndBoardDarkGreyWithWhite)
{
    const QPalette original = switchScheme(true);
    auto* board = new ViewController;
    NavigationController navigation(board);
    QWidget toolbar;
    BoardAppearance::apply(board, &toolbar, QStringLiteral("Chapter One"));
    const QColor darkGrey(0x25, 0x25, 0x24);
    EXPECT_EQ(board->palette().color(QPalette::Window), darkGrey);
    EXPECT_EQ(board->palette().color(QPalette::ButtonText), QColor(Qt::white));
    EXPECT_EQ(toolbar.palette().color(QPalette::Window), darkGrey);
    EXPECT_EQ(navigation.navigationBar()->palette().color(QPalette::Window), darkGrey);
    EXPECT_EQ(navigation.navigationBar()->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(board->window()->windowTitle(), QStringLiteral("Chapter One"));

    switchScheme(false);
    BoardAppearance::apply(board, nullptr, QString());
    EXPECT_EQ(board->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(navigation.navigationBar()->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(board->window()->windowTitle(), QStringLiteral("Chapter One"));
    QApplication::setPalette(original);
}

TEST(BoardAppearanceTest, windowTitleIsCutAfterFortyCharactersAsOnAChangeOfFolder)
{
    auto* board = new ViewController;
    NavigationController navigation(board);
    const QString forty(40, u'a');
    BoardAppearance::apply(board, nullptr, forty);
    EXPECT_EQ(board->window()->windowTitle(), forty);
    BoardAppearance::apply(board, nullptr, forty + u'b');
    EXPECT_EQ(board->window()->windowTitle(), forty + QStringLiteral("..."));
}

} // namespace
