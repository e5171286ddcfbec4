#include "TextFormats.h"
#include "platform/text/TextAttachment.h"
#include "richtext/AutomaticBulletAndNumberLists.h"
#include "richtext/CheckboxAttachment.h"
#include "richtext/PvTextView.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

struct ListContinuationTest : ::testing::Test {
    void SetUp() override
    {
        view.resize(400, 300);
        view.show();
        view.setFocus();
    }
    // The text, the caret at its end, then Return.
    QString afterReturn(const QString& text)
    {
        view.setPlainText(text);
        QTextCursor cursor = view.textCursor();
        cursor.movePosition(QTextCursor::End);
        view.setTextCursor(cursor);
        QTest::keyClick(&view, Qt::Key_Return);
        return view.toPlainText();
    }
    PvTextView view;
};

TEST_F(ListContinuationTest, bulletLineContinuesKeepingIndent)
{
    EXPECT_EQ(afterReturn(QStringLiteral("• milk")), QStringLiteral("• milk\n• "));
    EXPECT_EQ(view.textCursor().position(), view.textLength());
    QTest::keyClicks(&view, QStringLiteral("eggs"));
    EXPECT_EQ(view.toPlainText(), QStringLiteral("• milk\n• eggs"));
    EXPECT_EQ(afterReturn(QStringLiteral("\t• milk")), QStringLiteral("\t• milk\n\t• "));
}

TEST_F(ListContinuationTest, numberedLineContinuesWithNextNumber)
{
    EXPECT_EQ(afterReturn(QStringLiteral("3. eggs")), QStringLiteral("3. eggs\n4. "));
    EXPECT_EQ(afterReturn(QStringLiteral("\t12. x")), QStringLiteral("\t12. x\n\t13. "));
    EXPECT_EQ(afterReturn(QStringLiteral("99999. x")), QStringLiteral("99999. x\n100000. "));
    EXPECT_EQ(afterReturn(QStringLiteral("a1. x")), QStringLiteral("a1. x\n2. "));
}

TEST_F(ListContinuationTest, notAListLineGetsPlainNewline)
{
    EXPECT_EQ(afterReturn(QStringLiteral("123456. x")), QStringLiteral("123456. x\n"));
    EXPECT_EQ(afterReturn(QStringLiteral("3.x")), QStringLiteral("3.x\n"));
    EXPECT_EQ(afterReturn(QStringLiteral("3.")), QStringLiteral("3.\n"));
    EXPECT_EQ(afterReturn(QStringLiteral("Note 1. x")), QStringLiteral("Note 1. x\n"));
    EXPECT_EQ(afterReturn(QStringLiteral(". x")), QStringLiteral(". x\n"));
    EXPECT_EQ(afterReturn(QStringLiteral("plain")), QStringLiteral("plain\n"));
}

TEST_F(ListContinuationTest, returnInsideLineOrOverSelectionIsPlain)
{
    view.setPlainText(QStringLiteral("• milk"));
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(3);
    view.setTextCursor(cursor);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("• m\nilk"));
    view.setPlainText(QStringLiteral("• milk"));
    cursor = view.textCursor();
    cursor.setPosition(4);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    view.setTextCursor(cursor);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("• mi\n"));
    // The same for a numbered line, which the number rule looks at once the bullet rule has passed.
    view.setPlainText(QStringLiteral("3. eggs"));
    cursor = view.textCursor();
    cursor.setPosition(3);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    view.setTextCursor(cursor);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("3. \n"));
    view.setPlainText(QStringLiteral("3. eggs"));
    cursor = view.textCursor();
    cursor.setPosition(3);
    view.setTextCursor(cursor);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("3. \neggs"));
}

TEST_F(ListContinuationTest, listLineRightBelowAnEmptyFirstLineDoesNotContinue)
{
    EXPECT_EQ(afterReturn(QStringLiteral("\n• milk")), QStringLiteral("\n• milk\n"));
    EXPECT_EQ(afterReturn(QStringLiteral("\n7. x")), QStringLiteral("\n7. x\n"));
    // Any other line break starts a line of its own: the second line, or one below an empty line further down.
    EXPECT_EQ(afterReturn(QStringLiteral("a\n• milk")), QStringLiteral("a\n• milk\n• "));
    EXPECT_EQ(afterReturn(QStringLiteral("a\n\n7. x")), QStringLiteral("a\n\n7. x\n8. "));
}

TEST_F(ListContinuationTest, returnOnEmptyListLineContinuesList)
{
    EXPECT_EQ(afterReturn(QStringLiteral("• milk\n• ")), QStringLiteral("• milk\n• \n• "));
    EXPECT_EQ(afterReturn(QStringLiteral("3. eggs\n4. ")), QStringLiteral("3. eggs\n4. \n5. "));
    EXPECT_EQ(afterReturn(QStringLiteral("•")), QStringLiteral("•\n• "));
}

TEST_F(ListContinuationTest, returnIsOneUndoStep)
{
    afterReturn(QStringLiteral("• milk"));
    view.undo();
    EXPECT_EQ(view.toPlainText(), QStringLiteral("• milk"));
}

TEST_F(ListContinuationTest, checkedLineContinuesWithUncheckedBox)
{
    view.setPlainText(QString());
    view.replace({0, 0}, view.makeUncheckedCheckboxStr(false, true), {3, 0});
    QTest::keyClicks(&view, QStringLiteral("bread"));
    ASSERT_TRUE(view.toggleCheckboxAt(1));
    QTest::keyClick(&view, Qt::Key_Return);
    const QString text = view.toPlainText();
    ASSERT_EQ(text.size(), 12);
    EXPECT_EQ(text.mid(8), QStringLiteral("\n\t") + QChar::ObjectReplacementCharacter + QStringLiteral(" "));
    const QTextCharFormat box = formatAt(*view.document(), 10);
    ASSERT_TRUE(CheckboxAttachment::isCheckboxFormat(box));
    EXPECT_EQ(box.stringProperty(TextAttachment::ClassName), QLatin1String(TextAttachment::UncheckedClass));
    // Return again on the fresh, empty box line adds another box.
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(view.toPlainText().mid(12), text.mid(8));
    EXPECT_TRUE(CheckboxAttachment::isCheckboxFormat(formatAt(*view.document(), 14)));
}

TEST_F(ListContinuationTest, imageLineDoesNotContinue)
{
    QImage picture(10, 10, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    view.setPlainText(QString());
    QTextImageFormat image;
    view.document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("attachment:x")), picture);
    image.setName(QStringLiteral("attachment:x"));
    QTextCursor cursor(view.document());
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), image);
    cursor.insertText(QStringLiteral(" x"), QTextCharFormat());
    view.setTextCursor(cursor);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(view.toPlainText().mid(1), QStringLiteral(" x\n"));
}

} // namespace
