#include "DialogTestHost.h"

#include "dialogs/FloatingEntry.h"
#include "dialogs/FloatingEntryOverlay.h"
#include "dialogs/SEKDialogInfo.h"
#include "dialogs/SEKDialogInfoController.h"
#include "dialogs/SEKDialogInput.h"
#include "dialogs/SEKDialogInputController.h"
#include "dialogs/SEKDialogMenu.h"
#include "dialogs/SEKDialogMenuController.h"

#include "TestWait.h"
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

// The main window the floating entries cover; closes any entry left at the end and waits for it to go.
class SEKDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window.resize(900, 700);
        m_window.show();
        QApplication::setActiveWindow(&m_window);
    }
    void TearDown() override
    {
        QPointer<FloatingEntryOverlay> overlay = FloatingEntry::displayedOverlay();
        FloatingEntry::dismiss();
        ASSERT_TRUE(waitFor([&] { return overlay.isNull(); }));
    }

    template <class T> T* displayed() const { return qobject_cast<T*>(FloatingEntry::displayedEntry()); }

    static void clickOutside(FloatingEntryOverlay* overlay)
    {
        QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(5, 5));
    }

    QWidget m_window;
};

struct InputLog {
    int okCalls = 0;
    int cancelCalls = 0;
    std::optional<QString> okText;
    bool displayedWhileRunning = false;
};

void showInput(InputLog& log, const QString& initial = QString())
{
    SEKDialogInput().show(
        QStringLiteral("New Folder"), QStringLiteral("Name"), QStringLiteral("Folder name"), initial,
        [&log](std::optional<QString> text) {
            ++log.okCalls;
            log.okText = text;
            log.displayedWhileRunning = FloatingEntry::isCurrentlyDisplaying();
        },
        [&log] {
            ++log.cancelCalls;
            log.displayedWhileRunning = FloatingEntry::isCurrentlyDisplaying();
        });
}

} // namespace

TEST_F(SEKDialogTest, clickOutsideTheInputEntryDismissesWithoutEitherAction)
{
    InputLog log;
    showInput(log);
    auto* dialog = displayed<SEKDialogInputController>();
    ASSERT_NE(dialog, nullptr);
    QPointer<FloatingEntryOverlay> overlay = FloatingEntry::displayedOverlay();
    ASSERT_FALSE(overlay.isNull());
    EXPECT_EQ(overlay->parentWidget(), &m_window);
    QTest::keyClicks(dialog->inputField(), QStringLiteral("Typed"));

    clickOutside(overlay);
    EXPECT_FALSE(FloatingEntry::isCurrentlyDisplaying());
    ASSERT_TRUE(waitFor([&] { return overlay.isNull(); }));
    EXPECT_EQ(log.okCalls, 0);
    EXPECT_EQ(log.cancelCalls, 0);
}

TEST_F(SEKDialogTest, clickOnTheEntryItselfKeepsItShown)
{
    InputLog log;
    showInput(log);
    FloatingEntryOverlay* overlay = FloatingEntry::displayedOverlay();
    ASSERT_NE(overlay, nullptr);
    ASSERT_TRUE(waitFor([&] { return overlay->entry()->geometry() == overlay->restingGeometry(); }));
    EXPECT_EQ(overlay->restingGeometry().size(), QSize(300, 196));
    EXPECT_EQ(overlay->restingGeometry().center(), overlay->rect().center());
    QTest::mouseClick(overlay, Qt::LeftButton, {}, overlay->restingGeometry().topLeft() + QPoint(20, 100));
    EXPECT_TRUE(FloatingEntry::isCurrentlyDisplaying());
}

TEST_F(SEKDialogTest, floatingInputFollowsThePlainEnableRuleAndRunsOneActionAfterDismissal)
{
    PaletteSwitch palette;
    palette.setDark(false);
    InputLog log;
    showInput(log, QStringLiteral("Drafts"));
    auto* dialog = displayed<SEKDialogInputController>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->titleView()->text(), QStringLiteral("New Folder"));
    EXPECT_EQ(backgroundOf(dialog->contentView()), QColor(0xEE, 0xEE, 0xEE));
    EXPECT_EQ(backgroundOf(dialog->separatorView()), QColor(0xD9, 0xD9, 0xD9));
    EXPECT_EQ(backgroundOf(dialog->bottomSeparatorView()), QColor(0xD9, 0xD9, 0xD9));
    // The floating form sits a little looser than the sheet's: more room above and taller buttons.
    const QWidget* content = dialog->contentView();
    const QPushButton* cancel = dialog->cancelButtonView();
    // The entry takes its size as it opens; the buttons settle at its bottom once it has.
    EXPECT_TRUE(waitFor([&] { return cancel->geometry().bottom() == content->height() - 1 - 4; }))
        << cancel->geometry().bottom() << " in " << content->height();
    EXPECT_EQ(dialog->labelView()->geometry().top(), 12);
    EXPECT_GE(cancel->height(), 36);
    EXPECT_EQ(dialog->bottomSeparatorView()->height(), 1);
    EXPECT_FALSE(dialog->okButtonView()->isEnabled());
    dialog->inputField()->end(false);
    QTest::keyClicks(dialog->inputField(), QStringLiteral("  "));
    EXPECT_FALSE(dialog->okButtonView()->isEnabled());
    QTest::keyClicks(dialog->inputField(), QStringLiteral("2 "));
    ASSERT_TRUE(dialog->okButtonView()->isEnabled());
    QTest::mouseClick(dialog->okButtonView(), Qt::LeftButton);
    EXPECT_EQ(log.okCalls, 1);
    EXPECT_EQ(log.cancelCalls, 0);
    EXPECT_EQ(log.okText, std::optional<QString>(QStringLiteral("Drafts  2")));
    EXPECT_FALSE(log.displayedWhileRunning);

    InputLog second;
    showInput(second);
    dialog = displayed<SEKDialogInputController>();
    ASSERT_NE(dialog, nullptr);
    QTest::keyClicks(dialog->inputField(), QStringLiteral("x"));
    QTest::mouseClick(dialog->cancelButtonView(), Qt::LeftButton);
    EXPECT_EQ(second.okCalls, 0);
    EXPECT_EQ(second.cancelCalls, 1);
    EXPECT_FALSE(second.displayedWhileRunning);
}

TEST_F(SEKDialogTest, floatingMenuRunsTheRowActionAfterDismissalAndCloseRunsNothing)
{
    QStringList log;
    bool displayedWhileRunning = true;
    auto action = [&](std::optional<QString> tag) {
        log.append(tag.value_or(QStringLiteral("nil")));
        displayedWhileRunning = FloatingEntry::isCurrentlyDisplaying();
    };
    const QList<DialogMenuItem> items{DialogMenuItem(QStringLiteral("Note"), QIcon(), QStringLiteral("0"), action),
                                      DialogMenuItem(QStringLiteral("Scene"), QIcon(), QStringLiteral("1"), action)};
    bool completionCalled = false;
    SEKDialogMenu().show(QStringLiteral("Change Card Type"), items, [&] { completionCalled = true; });
    auto* menu = displayed<SEKDialogMenuController>();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(waitFor([&] { return menu->geometry() == FloatingEntry::displayedOverlay()->restingGeometry(); }));
    QListWidget* table = menu->tableView();
    ASSERT_EQ(table->count(), 2);
    EXPECT_EQ(table->visualItemRect(table->item(0)).height(), 44);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(1)).center());
    EXPECT_EQ(log, QStringList({QStringLiteral("1")}));
    EXPECT_FALSE(displayedWhileRunning);
    EXPECT_FALSE(completionCalled);

    SEKDialogMenu().show(QStringLiteral("Change Card Type"), items);
    menu = displayed<SEKDialogMenuController>();
    ASSERT_NE(menu, nullptr);
    QTest::mouseClick(menu->closeButtonView(), Qt::LeftButton);
    EXPECT_FALSE(FloatingEntry::isCurrentlyDisplaying());
    EXPECT_EQ(log.size(), 1);
}

TEST_F(SEKDialogTest, floatingInfoShowsTheTextAndClosesThroughItsButton)
{
    SEKDialogInfo().show(QStringLiteral("Card Info"), QStringLiteral("Words: 3\r\nPages: 1"));
    auto* info = displayed<SEKDialogInfoController>();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->titleView()->text(), QStringLiteral("Card Info"));
    EXPECT_EQ(info->textView()->document()->blockCount(), 2);
    EXPECT_EQ(FloatingEntry::displayedOverlay()->attributes().size, QSize(300, 300));
    QTest::mouseClick(info->closeButtonView(), Qt::LeftButton);
    EXPECT_FALSE(FloatingEntry::isCurrentlyDisplaying());
}

TEST_F(SEKDialogTest, dimmingFollowsTheStyleAtShowingWhileTheDialogRecolours)
{
    PaletteSwitch palette;
    palette.setDark(false);
    SEKDialogMenu().show(QStringLiteral("Tags"), {});
    auto* menu = displayed<SEKDialogMenuController>();
    ASSERT_NE(menu, nullptr);
    FloatingEntryOverlay* overlay = FloatingEntry::displayedOverlay();
    const QColor lightDim = QColor::fromRgbF(0.5, 0.5, 0.5, 0.5);
    EXPECT_EQ(overlay->attributes().screenBackground, lightDim);
    EXPECT_EQ(backgroundOf(menu->tableView()), QColor(0xEE, 0xEE, 0xEE));
    EXPECT_EQ(backgroundOf(menu->headerView()), QColor(0x60, 0xC1, 0xC3));

    palette.setDark(true);
    EXPECT_EQ(overlay->attributes().screenBackground, lightDim);
    EXPECT_EQ(backgroundOf(menu->tableView()), QColor(0x23, 0x23, 0x23));
    EXPECT_EQ(backgroundOf(menu->separatorView()), QColor(0x33, 0x33, 0x33));
    EXPECT_EQ(SEKDialogMenu::attributes().screenBackground, QColor::fromRgbF(0, 0, 0, 0.5));
}

TEST_F(SEKDialogTest, entryAttributesCarryTheShadowCornersAnimationsAndSizes)
{
    const FloatingEntryAttributes input = SEKDialogInput::attributes();
    EXPECT_EQ(input.size, QSize(300, 196));
    EXPECT_TRUE(input.boundToKeyboard);
    EXPECT_EQ(input.keyboardBottomOffset, 10);
    EXPECT_EQ(input.keyboardScreenEdgeResistance, 20);
    EXPECT_TRUE(input.infiniteDuration);
    EXPECT_EQ(input.screenInteraction, FloatingEntryAttributes::ScreenInteraction::Dismiss);
    EXPECT_DOUBLE_EQ(input.shadowOpacity, 0.3);
    EXPECT_DOUBLE_EQ(input.shadowRadius, 6);
    EXPECT_EQ(input.cornerRadius, 10);
    EXPECT_EQ(input.entrance.slideMs, 400);
    EXPECT_DOUBLE_EQ(input.entrance.scaleFrom, 0.6);
    EXPECT_DOUBLE_EQ(input.entrance.fadeFrom, 0.8);
    EXPECT_EQ(input.exit.slideMs, 350);
    EXPECT_EQ(input.pop.slideMs, 350);
    EXPECT_EQ(SEKDialogInfo::attributes().size, QSize(300, 300));
    EXPECT_FALSE(SEKDialogInfo::attributes().boundToKeyboard);
    EXPECT_EQ(SEKDialogMenu::attributes().size, QSize(300, 400));
}

TEST_F(SEKDialogTest, showingASecondEntryReplacesTheFirstWithoutRunningItsActions)
{
    InputLog first;
    showInput(first);
    QPointer<FloatingEntryOverlay> firstOverlay = FloatingEntry::displayedOverlay();
    auto* firstDialog = displayed<SEKDialogInputController>();
    SEKDialogInfo().show(QStringLiteral("Info"), QStringLiteral("text"));
    EXPECT_NE(displayed<SEKDialogInfoController>(), nullptr);
    ASSERT_TRUE(waitFor([&] { return firstOverlay.isNull(); }));
    EXPECT_EQ(first.okCalls + first.cancelCalls, 0);
    Q_UNUSED(firstDialog)
}
