#include "DialogTestHost.h"

#include "dialogs/DialogInput.h"
#include "dialogs/DialogInputController.h"

#include "TestWait.h"
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
