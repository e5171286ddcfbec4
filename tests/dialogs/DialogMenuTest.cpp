#include "DialogTestHost.h"

#include "dialogs/DialogMenu.h"
#include "dialogs/DialogMenuCellView.h"
#include "dialogs/DialogMenuController.h"

#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QStringList>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// Each row action and the completion write into one log, with whether the menu was still presented.
struct MenuLog {
    QStringList entries;
    bool presentedWhileRunning = false;
};

DialogMenuItem row(const QString& label, std::optional<QString> tag, MenuLog& log, DialogTestHost& host)
{
    return DialogMenuItem(label, QIcon(), std::move(tag), [&log, &host, label](std::optional<QString> tag) {
        log.entries.append(label + QLatin1Char('=') + tag.value_or(QStringLiteral("nil")));
        log.presentedWhileRunning = log.presentedWhileRunning || host.presentedViewController() != nullptr;
    });
}

DialogMenuController* showMenu(DialogTestHost& host, MenuLog& log, const QList<DialogMenuItem>& items)
{
    DialogMenu().show(QStringLiteral("Move to Folder"), items, &host, [&log, &host] {
        log.entries.append(QStringLiteral("completion"));
        log.presentedWhileRunning = log.presentedWhileRunning || host.presentedViewController() != nullptr;
    });
    return host.presentedDialog<DialogMenuController>();
}

void clickRow(DialogMenuController* menu, int index)
{
    QListWidget* table = menu->tableView();
    const QRect rect = table->visualItemRect(table->item(index));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
}

QToolButton* xmark(DialogTestHost& host)
{
    return host.sheetWindow()->findChild<QToolButton*>(QStringLiteral("closeButton"));
}

} // namespace

TEST(DialogMenuTest, pickingARowRunsCompletionThenTheRowActionWithItsTagAfterDismissal)
{
    DialogTestHost host;
    MenuLog log;
    DialogMenuController* menu = showMenu(host, log,
                                          {row(QStringLiteral("Top Level"), QStringLiteral("a"), log, host),
                                           row(QStringLiteral("Part Two"), QStringLiteral("b"), log, host)});
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->tableView()->count(), 2);
    clickRow(menu, 1);
    EXPECT_EQ(log.entries, QStringList({QStringLiteral("completion"), QStringLiteral("Part Two=b")}));
    EXPECT_FALSE(log.presentedWhileRunning);
    EXPECT_EQ(host.presentedViewController(), nullptr);
}

TEST(DialogMenuTest, rowWithoutTagHandsItsActionNothingAndRowWithoutActionJustCloses)
{
    DialogTestHost host;
    MenuLog log;
    DialogMenuController* menu = showMenu(host, log, {row(QStringLiteral("Untagged"), std::nullopt, log, host)});
    ASSERT_NE(menu, nullptr);
    clickRow(menu, 0);
    EXPECT_EQ(log.entries, QStringList({QStringLiteral("completion"), QStringLiteral("Untagged=nil")}));

    MenuLog second;
    DialogMenuItem bare;
    bare.setLabel(QStringLiteral("Nothing"));
    menu = showMenu(host, second, {bare});
    ASSERT_NE(menu, nullptr);
    clickRow(menu, 0);
    EXPECT_EQ(second.entries, QStringList({QStringLiteral("completion")}));
    EXPECT_EQ(host.presentedViewController(), nullptr);
}

TEST(DialogMenuTest, xmarkAndEscapeRunOnlyTheCompletion)
{
    DialogTestHost host;
    MenuLog log;
    DialogMenuController* menu = showMenu(host, log, {row(QStringLiteral("Only"), QStringLiteral("x"), log, host)});
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(xmark(host), nullptr);
    QTest::mouseClick(xmark(host), Qt::LeftButton);
    EXPECT_EQ(log.entries, QStringList({QStringLiteral("completion")}));
    EXPECT_EQ(host.presentedViewController(), nullptr);

    MenuLog second;
    menu = showMenu(host, second, {row(QStringLiteral("Only"), QStringLiteral("x"), second, host)});
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu->tableView(), Qt::Key_Escape);
    EXPECT_EQ(second.entries, QStringList({QStringLiteral("completion")}));
    EXPECT_EQ(host.presentedViewController(), nullptr);

    // The sheet holds the focus when it opens; Escape there closes the menu the same way.
    MenuLog third;
    menu = showMenu(host, third, {row(QStringLiteral("Only"), QStringLiteral("x"), third, host)});
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(host.sheetWindow(), Qt::Key_Escape);
    EXPECT_EQ(third.entries, QStringList({QStringLiteral("completion")}));
    EXPECT_EQ(host.presentedViewController(), nullptr);
}

TEST(DialogMenuTest, emptyMenuClosesOnlyThroughXmark)
{
    DialogTestHost host;
    MenuLog log;
    DialogMenuController* menu = showMenu(host, log, {});
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->tableView()->count(), 0);
    QTest::mouseClick(menu->tableView()->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    menu->didSelectRow(0);
    EXPECT_NE(host.presentedViewController(), nullptr);
    EXPECT_TRUE(log.entries.isEmpty());
    QTest::mouseClick(xmark(host), Qt::LeftButton);
    EXPECT_EQ(host.presentedViewController(), nullptr);
}

TEST(DialogMenuTest, rowsKeepDesktopSizesAndIconsKeepTheirSquareWhateverTheImage)
{
    DialogTestHost host;
    MenuLog log;
    QImage big(256, 96, QImage::Format_ARGB32);
    big.fill(Qt::red);
    DialogMenuItem wide(QStringLiteral("Wide"), QIcon(QPixmap::fromImage(big)), QStringLiteral("w"), {});
    DialogMenuItem plain(QStringLiteral("Plain"), QIcon(), QStringLiteral("p"), {});
    DialogMenuController* menu = showMenu(host, log, {wide, plain});
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(host.sheetWindow(), nullptr);
    EXPECT_EQ(host.sheetWindow()->size(), QSize(300, 400));
    EXPECT_EQ(DialogMenuController::rowHeight(), 34);
    EXPECT_EQ(DialogMenuController::labelFontSize(), 13);
    EXPECT_EQ(DialogMenuController::iconSize(), 18);

    QListWidget* table = menu->tableView();
    for (int index = 0; index < 2; ++index) {
        auto* cell = qobject_cast<DialogMenuCellView*>(table->itemWidget(table->item(index)));
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(table->visualItemRect(table->item(index)).height(), 34);
        EXPECT_EQ(cell->itemImageView()->size(), QSize(18, 18));
        EXPECT_EQ(cell->itemLabelView()->font().pixelSize(), 13);
    }
    auto* first = qobject_cast<DialogMenuCellView*>(table->itemWidget(table->item(0)));
    EXPECT_EQ(first->itemLabelView()->text(), QStringLiteral("Wide"));
    EXPECT_LE(first->itemImageView()->pixmap().width(), 18);
}
