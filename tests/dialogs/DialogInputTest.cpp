#include "DialogTestHost.h"

#include "dialogs/DialogInput.h"
#include "dialogs/DialogInputController.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"

#include "TestWait.h"
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

// Records what the actions receive and whether the dialog was already on its way out when they ran.
struct ActionLog {
    int okCalls = 0;
    int cancelCalls = 0;
    std::optional<QString> okText;
    bool presentedWhileRunning = false;
};

DialogInputController* showInput(DialogTestHost& host, ActionLog& log, const QString& initialText)
{
    DialogInput().show(
        QStringLiteral("Rename Card"), QStringLiteral("Title"), QStringLiteral("Card title"), initialText, &host,
        [&log, &host](std::optional<QString> text) {
            ++log.okCalls;
            log.okText = text;
            log.presentedWhileRunning = host.presentedViewController() != nullptr;
        },
        [&log, &host] {
            ++log.cancelCalls;
            log.presentedWhileRunning = host.presentedViewController() != nullptr;
        });
    return host.presentedDialog<DialogInputController>();
}

void retype(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

} // namespace

TEST(DialogInputTest, okWaitsForAnEditThatLeavesTrimmedTextDifferentFromInitialText)
{
    DialogTestHost host;
    ActionLog log;
    DialogInputController* dialog = showInput(host, log, QStringLiteral("Chapter"));
    ASSERT_NE(dialog, nullptr);
    QLineEdit* field = dialog->inputField();
    EXPECT_EQ(field->text(), QStringLiteral("Chapter"));
    EXPECT_EQ(field->placeholderText(), QStringLiteral("Card title"));
    EXPECT_EQ(dialog->labelView()->text(), QStringLiteral("Title"));
    EXPECT_FALSE(dialog->okButtonView()->isEnabled());

    field->end(false);
    QTest::keyClicks(field, QStringLiteral(" "));
    EXPECT_FALSE(dialog->okButtonView()->isEnabled()) << "a trailing blank trims back to the initial text";
    QTest::keyClicks(field, QStringLiteral("s"));
    EXPECT_TRUE(dialog->okButtonView()->isEnabled());
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_FALSE(dialog->okButtonView()->isEnabled()) << "restoring the initial text disables OK again";
    retype(field, QStringLiteral("   "));
    EXPECT_FALSE(dialog->okButtonView()->isEnabled()) << "blanks only";
}

TEST(DialogInputTest, emptyInitialTextAcceptsAnyNonBlankText)
{
    DialogTestHost host;
    ActionLog log;
    DialogInputController* dialog = showInput(host, log, QString(""));
    ASSERT_NE(dialog, nullptr);
    QTest::keyClicks(dialog->inputField(), QStringLiteral(" x"));
    EXPECT_TRUE(dialog->okButtonView()->isEnabled());
}

TEST(DialogInputTest, trimmingTakesBlanksAndTabsButKeepsLineBreaks)
{
    EXPECT_EQ(DialogInputController::trimmedText(QStringLiteral("\t Name \t")), QStringLiteral("Name"));
    EXPECT_EQ(DialogInputController::trimmedText(QStringLiteral(" a\nb\n")), QStringLiteral("a\nb\n"));
    EXPECT_EQ(DialogInputController::trimmedText(QStringLiteral("\u00A0x\u00A0")), QStringLiteral("x"));
    EXPECT_EQ(DialogInputController::trimmedText(QString()), QString());
    EXPECT_FALSE(DialogInputController::acceptsText(QStringLiteral("\t \t"), {}));
    EXPECT_FALSE(DialogInputController::acceptsText(QStringLiteral("\tSame "), QStringLiteral("Same")));
    EXPECT_TRUE(DialogInputController::acceptsText(QStringLiteral("Same\n"), QStringLiteral("Same")));
}

TEST(DialogInputTest, okRunsOnlyTheOkActionWithTrimmedTextAfterDismissal)
{
    DialogTestHost host;
    ActionLog log;
    DialogInputController* dialog = showInput(host, log, QString());
    ASSERT_NE(dialog, nullptr);
    QTest::keyClicks(dialog->inputField(), QStringLiteral("  New Title  "));
    QTest::mouseClick(dialog->okButtonView(), Qt::LeftButton);
    EXPECT_EQ(log.okCalls, 1);
    EXPECT_EQ(log.cancelCalls, 0);
    EXPECT_EQ(log.okText, std::optional<QString>(QStringLiteral("New Title")));
    EXPECT_FALSE(log.presentedWhileRunning) << "the dialog is dismissed before the action runs";
    EXPECT_EQ(host.presentedViewController(), nullptr);

    // A second press reaching the controller before it goes calls nothing more.
    dialog->okTapped();
    dialog->cancelTapped();
    EXPECT_EQ(log.okCalls, 1);
    EXPECT_EQ(log.cancelCalls, 0);
}

TEST(DialogInputTest, cancelNeverCallsTheOkAction)
{
    DialogTestHost host;
    ActionLog log;
    DialogInputController* dialog = showInput(host, log, QStringLiteral("Old"));
    ASSERT_NE(dialog, nullptr);
    QTest::keyClicks(dialog->inputField(), QStringLiteral(" and new"));
    QTest::mouseClick(dialog->cancelButtonView(), Qt::LeftButton);
    EXPECT_EQ(log.okCalls, 0);
    EXPECT_EQ(log.cancelCalls, 1);
    EXPECT_FALSE(log.presentedWhileRunning);
    EXPECT_EQ(host.presentedViewController(), nullptr);
}

TEST(DialogInputTest, escapeAndTheWindowCloseButtonCannotCloseWithoutAnAction)
{
    DialogTestHost host;
    ActionLog log;
    DialogInputController* dialog = showInput(host, log, QString());
    ASSERT_NE(dialog, nullptr);
    QWidget* sheet = host.sheetWindow();
    ASSERT_NE(sheet, nullptr);
    sheet->close();
    EXPECT_NE(host.presentedViewController(), nullptr) << "the sheet's close button bypassed both actions";

    QTest::keyClick(dialog->inputField(), Qt::Key_Escape);
    EXPECT_EQ(log.cancelCalls, 1);
    EXPECT_EQ(log.okCalls, 0);
    EXPECT_EQ(host.presentedViewController(), nullptr);
}

TEST(DialogInputTest, returnConfirmsOnlyWhenOkIsEnabled)
{
    DialogTestHost host;
    ActionLog log;
    DialogInputController* dialog = showInput(host, log, QStringLiteral("Same"));
    ASSERT_NE(dialog, nullptr);
    QTest::keyClick(dialog->inputField(), Qt::Key_Return);
    EXPECT_EQ(log.okCalls, 0);
    QTest::keyClicks(dialog->inputField(), QStringLiteral("r"));
    QTest::keyClick(dialog->inputField(), Qt::Key_Return);
    EXPECT_EQ(log.okCalls, 1);
    EXPECT_EQ(log.okText, std::optional<QString>(QStringLiteral("Samer")));
}

TEST(DialogInputTest, sheetMeasures300By146AndRecoloursWithTheStyle)
{
    PaletteSwitch palette;
    palette.setDark(false);
    DialogTestHost host;
    ActionLog log;
    DialogInputController* dialog = showInput(host, log, QString());
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(host.sheetWindow(), nullptr);
    EXPECT_EQ(host.sheetWindow()->size(), QSize(300, 146));
    EXPECT_EQ(dialog->title(), QStringLiteral("Rename Card"));
    ASSERT_NE(dialog->navigationController(), nullptr);
    EXPECT_EQ(dialog->navigationController()->navigationBar()->palette().color(QPalette::Window),
              QColor(0x60, 0xC1, 0xC3));
    EXPECT_EQ(dialog->labelView()->textFormat(), Qt::PlainText);
    // The form's layout: the label and field inset under the bar, a one-pixel rule, two flat buttons side by
    // side along the bottom.
    const QWidget* content = dialog->contentView();
    const QRect field = dialog->inputField()->geometry();
    const QRect rule = dialog->bottomSeparatorView()->geometry();
    const QRect cancel = dialog->cancelButtonView()->geometry();
    const QRect ok = dialog->okButtonView()->geometry();
    EXPECT_EQ(dialog->labelView()->geometry().topLeft(), QPoint(12, 10));
    EXPECT_EQ(field.left(), 12);
    EXPECT_EQ(field.right(), content->width() - 13);
    EXPECT_EQ(rule, QRect(0, cancel.top() - 6 - 1, content->width(), 1));
    EXPECT_GE(cancel.height(), 32);
    EXPECT_EQ(cancel.bottom(), content->height() - 1 - 2);
    EXPECT_EQ(cancel.left(), 8);
    EXPECT_EQ(ok.right(), content->width() - 9);
    EXPECT_EQ(ok.size(), cancel.size());
    EXPECT_TRUE(dialog->cancelButtonView()->isFlat());
    EXPECT_TRUE(dialog->okButtonView()->isFlat());
    // Keys other than Escape are not the dialog's: they go on to the sheet.
    QKeyEvent other(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QApplication::sendEvent(dialog, &other);
    EXPECT_FALSE(other.isAccepted());
    EXPECT_EQ(backgroundOf(dialog->contentView()), QColor(0xEE, 0xEE, 0xEE));
    EXPECT_EQ(backgroundOf(dialog->bottomSeparatorView()), QColor(0xD9, 0xD9, 0xD9));

    palette.setDark(true);
    EXPECT_EQ(backgroundOf(dialog->contentView()), QColor(0x23, 0x23, 0x23));
    EXPECT_EQ(backgroundOf(dialog->bottomSeparatorView()), QColor(0x33, 0x33, 0x33));
}

TEST(DialogInputTest, fieldTakesFocusHalfASecondAfterAppearing)
{
    DialogTestHost host;
    ActionLog log;
    DialogInputController* dialog = showInput(host, log, QString());
    ASSERT_NE(dialog, nullptr);
    QApplication::setActiveWindow(host.sheetWindow());
    ASSERT_TRUE(waitFor([&] { return dialog->inputField()->hasFocus(); }));
}
