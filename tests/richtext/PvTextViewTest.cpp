#include "richtext/PvTextView.h"
#include "TextFormats.h"
#include "core/Indexer.h"
#include "platform/UserDefaults.h"
#include "platform/text/TextAttachment.h"
#include "richtext/CheckboxAttachment.h"
#include "richtext/QJCheckboxAttachment.h"
#include "richtext/QJTextAttachment.h"
#include "richtext/TextRuns.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <limits>

namespace {

void moveCaret(PvTextView& view, int position)
{
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(position);
    view.setTextCursor(cursor);
}

struct PvTextViewTest : ::testing::Test {
    void SetUp() override
    {
        view.resize(600, 400);
        view.show();
        view.setFocus();
    }
    PvTextView view;
};

TEST_F(PvTextViewTest, zoomOfZeroMissingOrHugeStaysUsable)
{
    EXPECT_DOUBLE_EQ(PvTextView::sanitisedZoom(QVariant()), 1.25);
    EXPECT_DOUBLE_EQ(PvTextView::sanitisedZoom(0), 1.25);
    EXPECT_DOUBLE_EQ(PvTextView::sanitisedZoom(-2), 1.25);
    EXPECT_DOUBLE_EQ(PvTextView::sanitisedZoom(QStringLiteral("big")), 1.25);
    EXPECT_DOUBLE_EQ(PvTextView::sanitisedZoom(40), 4.0);
    EXPECT_DOUBLE_EQ(PvTextView::sanitisedZoom(std::numeric_limits<double>::infinity()), 1.25);
    EXPECT_DOUBLE_EQ(PvTextView::sanitisedZoom(1.5), 1.5);
    view.scaleContentInline(0, false);
    EXPECT_DOUBLE_EQ(view.fontSize(), 1.25);
    // A new view takes the writer's zoom.
    UserDefaults::standard().setValue(PvTextView::ZoomKey, 1.5);
    const PvTextView zoomed;
    UserDefaults::standard().removeObject(PvTextView::ZoomKey);
    EXPECT_DOUBLE_EQ(zoomed.fontSize(), 1.5);
}

TEST_F(PvTextViewTest, darkSchemeColoursAndSwitchingRecoloursText)
{
    view.applyColorScheme(true);
    EXPECT_EQ(view.bgColor(), QColor("#252524"));
    EXPECT_EQ(view.fgColor(), QColor("#DEDEDF"));
    EXPECT_EQ(view.palette().color(QPalette::Base), QColor("#252524"));
    EXPECT_EQ(view.palette().color(QPalette::Text), QColor("#DEDEDF"));
    QTextCharFormat coloured;
    coloured.setForeground(QColor("#DEDEDF"));
    QTextCursor(view.document()).insertText(QStringLiteral("night"), coloured);
    view.applyColorScheme(false);
    EXPECT_EQ(view.palette().color(QPalette::Base), QColor("#FFFFFF"));
    EXPECT_EQ(formatAt(*view.document(), 2).foreground().color(), QColor("#000000"));
}

TEST_F(PvTextViewTest, typedTextIntoForeignFontBecomesWorkingSizeHelveticaKeepingBold)
{
    view.scaleContentInline(1.25, false);
    view.adjustFonts = true;
    QTextCharFormat times;
    times.setFontFamilies({QStringLiteral("Times")});
    times.setFontPointSize(12);
    times.setFontWeight(QFont::Bold);
    // HTML's "x-large" arrives as a size adjustment, which the layout adds on top of the point size.
    times.setProperty(QTextFormat::FontSizeAdjustment, 2);
    view.textCursor().insertText(QStringLiteral("ab"), times);
    QTest::keyClicks(&view, QStringLiteral("c"));
    const QTextCharFormat typed = formatAt(*view.document(), 2);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("abc"));
    EXPECT_DOUBLE_EQ(typed.fontPointSize(), 17.5);
    EXPECT_EQ(typed.fontFamilies().toStringList().value(0), QStringLiteral("Helvetica"));
    EXPECT_EQ(typed.fontWeight(), QFont::Bold);
    EXPECT_FALSE(typed.hasProperty(QTextFormat::FontSizeAdjustment));
    view.fixedFontSize = 12;
    QTest::keyClicks(&view, QStringLiteral("d"));
    EXPECT_DOUBLE_EQ(formatAt(*view.document(), 3).fontPointSize(), 12);
}

TEST_F(PvTextViewTest, storedAtBaseSizeRoundTrip)
{
    view.scaleContentInline(1.25, false);
    QTextCharFormat twenty;
    TextRuns::setBaseFont(twenty, 20);
    view.textCursor().insertText(QStringLiteral("stored"), twenty);
    const std::optional<QByteArray> data = view.getData(1.25);
    ASSERT_TRUE(data);
    PvTextView other;
    other.scaleContentInline(1.5, false);
    EXPECT_EQ(other.loadFrom(*data), RichTextDocumentFormat::LoadStatus::Loaded);
    EXPECT_EQ(other.toPlainText(), QStringLiteral("stored"));
    // 20 / 1.25 = 16 stored, 16 * 1.5 = 24 shown; loading must not scale a second time.
    EXPECT_DOUBLE_EQ(formatAt(*other.document(), 1).fontPointSize(), 24);
}

TEST_F(PvTextViewTest, wideImageTakesNinetyPercentOfTheLine)
{
    QImage wide(1000, 500, QImage::Format_ARGB32);
    wide.fill(Qt::red);
    QImage narrow(400, 100, QImage::Format_ARGB32);
    narrow.fill(Qt::blue);
    QTextCursor cursor(view.document());
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), QJTextAttachment(wide).format(*view.document()));
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), QJTextAttachment(narrow).format(*view.document()));
    view.fitImages(500);
    const QTextImageFormat first = formatAt(*view.document(), 0).toImageFormat();
    const QTextImageFormat second = formatAt(*view.document(), 1).toImageFormat();
    EXPECT_NEAR(first.width(), 450, 0.001);
    EXPECT_NEAR(first.height(), 225, 0.001);
    EXPECT_DOUBLE_EQ(second.width(), 400);
}

TEST_F(PvTextViewTest, clickingCheckboxTogglesItWithoutMovingCaret)
{
    view.replace({0, 0}, PvTextView::AttributedText{{QStringLiteral("milk"), {}}}, {4, 0});
    view.replace({4, 0}, view.makeUncheckedCheckboxStr(false, false), {6, 0});
    QTest::keyClicks(&view, QStringLiteral("x"));
    moveCaret(view, 2);
    const int caret = view.textCursor().position();
    QTextCursor atBox(view.document());
    atBox.setPosition(0);
    EXPECT_FALSE(CheckboxAttachment::isCheckboxFormat(formatAt(*view.document(), 0)));
    atBox.setPosition(4);
    const QRect left = view.cursorRect(atBox);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, left.center() + QPoint(4, 0));
    const QTextCharFormat box = formatAt(*view.document(), 4);
    ASSERT_TRUE(CheckboxAttachment::isCheckboxFormat(box));
    EXPECT_EQ(box.stringProperty(TextAttachment::ClassName), QLatin1String(TextAttachment::CheckedClass));
    EXPECT_EQ(view.textCursor().position(), caret);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, left.center() + QPoint(4, 0));
    EXPECT_EQ(formatAt(*view.document(), 4).stringProperty(TextAttachment::ClassName),
              QLatin1String(TextAttachment::UncheckedClass));
}

TEST_F(PvTextViewTest, textTypedRightAfterCheckboxIsNotABox)
{
    view.replace({0, 0}, view.makeUncheckedCheckboxStr(false, false), {1, 0});
    QTest::keyClicks(&view, QStringLiteral("ab"));
    EXPECT_TRUE(CheckboxAttachment::isCheckboxFormat(formatAt(*view.document(), 0)));
    EXPECT_FALSE(CheckboxAttachment::isCheckboxFormat(formatAt(*view.document(), 1)));
    EXPECT_FALSE(CheckboxAttachment::isCheckboxFormat(formatAt(*view.document(), 2)));
    // Text set in with the box's own format, as a program may insert it, keeps the box only on its U+FFFC.
    QTextCursor(view.document())
        .insertText(QString(QChar::ObjectReplacementCharacter) + QStringLiteral("cd"), formatAt(*view.document(), 0));
    EXPECT_TRUE(CheckboxAttachment::isCheckboxFormat(formatAt(*view.document(), 0)));
    EXPECT_FALSE(CheckboxAttachment::isCheckboxFormat(formatAt(*view.document(), 1)));
    EXPECT_FALSE(CheckboxAttachment::isCheckboxFormat(formatAt(*view.document(), 2)));
}

TEST_F(PvTextViewTest, pasteFromElsewhereIsPlainInTheTypingFormatAndDropsStrayObjectCharacters)
{
    QTextCharFormat italic;
    italic.setFontItalic(true);
    italic.setFontPointSize(17.5);
    view.textCursor().insertText(QStringLiteral("x"), italic);
    auto* foreign = new QMimeData;
    foreign->setHtml(QStringLiteral("<b style=\"font-size:30pt\">bold</b>"));
    foreign->setText(QStringLiteral("bo") + QChar::ObjectReplacementCharacter + QStringLiteral("ld"));
    QApplication::clipboard()->setMimeData(foreign);
    view.paste();
    EXPECT_EQ(view.toPlainText(), QStringLiteral("xbold"));
    for (int position = 1; position <= 4; ++position) {
        const QTextCharFormat pasted = formatAt(*view.document(), position);
        EXPECT_NE(pasted.fontWeight(), QFont::Bold) << position;
        EXPECT_TRUE(pasted.fontItalic()) << position;
        EXPECT_DOUBLE_EQ(pasted.fontPointSize(), 17.5) << position;
    }
}

TEST_F(PvTextViewTest, pastedImageFromElsewhereBecomesImageAttachment)
{
    QImage picture(20, 10, QImage::Format_ARGB32);
    picture.fill(Qt::green);
    auto* foreign = new QMimeData;
    foreign->setImageData(picture);
    QApplication::clipboard()->setMimeData(foreign);
    view.paste();
    const QTextCharFormat format = formatAt(*view.document(), 0);
    ASSERT_TRUE(format.isImageFormat());
    EXPECT_EQ(QJTextAttachment::fromFormat(format, *view.document()).image().size(), QSize(20, 10));
}

TEST_F(PvTextViewTest, copyAndPasteInsideViewIsPlainTextToo)
{
    QImage picture(30, 30, QImage::Format_ARGB32);
    picture.fill(Qt::yellow);
    view.replace({0, 0}, view.makeUncheckedCheckboxStr(false, false), {0, 0});
    QTextCursor end(view.document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString(QChar::ObjectReplacementCharacter), QJTextAttachment(picture).format(*view.document()));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    end.insertText(QStringLiteral("ab"), bold);
    view.selectAll();
    view.copy();
    moveCaret(view, view.textLength());
    QTextCharFormat plain;
    plain.setFontWeight(QFont::Normal);
    view.setCurrentCharFormat(plain);
    view.paste();
    // The box, its space, the image and the bold word come back as the space and the word, unbolded.
    ASSERT_EQ(view.toPlainText(), QStringLiteral("\uFFFC \uFFFCab ab"));
    for (int position = 5; position <= 7; ++position) {
        const QTextCharFormat pasted = formatAt(*view.document(), position);
        EXPECT_FALSE(pasted.isImageFormat()) << position;
        EXPECT_FALSE(CheckboxAttachment::isCheckboxFormat(pasted)) << position;
        EXPECT_NE(pasted.fontWeight(), QFont::Bold) << position;
    }
}

TEST_F(PvTextViewTest, matchListShiftsAfterEditsAndRescansChangedParagraph)
{
    view.setPlainText(QStringLiteral("rose one\nrose two"));
    view.setRegexQuery(Indexer::regexWith(QStringLiteral("rose")));
    ASSERT_EQ(view.hitCount(), 2);
    EXPECT_EQ(view.regexMatches().at(1).location, 9);
    // Every match is shown marked as soon as the search is set.
    ASSERT_EQ(view.extraSelections().size(), 2);
    EXPECT_EQ(view.extraSelections().at(1).cursor.selectedText(), QStringLiteral("rose"));
    EXPECT_TRUE(view.extraSelections().at(1).format.hasProperty(QTextFormat::BackgroundBrush));
    moveCaret(view, 0);
    QTest::keyClicks(&view, QStringLiteral("a "));
    ASSERT_EQ(view.hitCount(), 2);
    EXPECT_EQ(view.regexMatches().at(0).location, 2);
    EXPECT_EQ(view.regexMatches().at(1).location, 11);
    moveCaret(view, view.textLength());
    QTest::keyClicks(&view, QStringLiteral(" Rose"));
    EXPECT_EQ(view.hitCount(), 3);
    EXPECT_EQ(view.extraSelections().size(), 3);
    moveCaret(view, 2);
    QTest::keyClicks(&view, QStringLiteral("x"));
    EXPECT_EQ(view.hitCount(), 2);
}

TEST_F(PvTextViewTest, hitSteppingStaysInRange)
{
    view.setPlainText(QStringLiteral("rose rose rose"));
    view.setRegexQuery(Indexer::regexWith(QStringLiteral("rose")));
    EXPECT_EQ(view.currentHit(), 0);
    view.nextHit();
    view.nextHit();
    view.nextHit();
    EXPECT_EQ(view.currentHit(), 2);
    EXPECT_EQ(view.textCursor().selectedText(), QStringLiteral("rose"));
    view.selectAll();
    view.textCursor().removeSelectedText();
    QTest::keyClicks(&view, QStringLiteral("x"));
    EXPECT_EQ(view.hitCount(), 0);
    EXPECT_LT(view.currentHit(), 0);
    view.nextHit();
    view.previousHit();
    EXPECT_FALSE(view.hitCanGoForward());
}

TEST_F(PvTextViewTest, searchingAgainAtTheLastHitStaysOnIt)
{
    view.setPlainText(QStringLiteral("rose rose rose"));
    view.setRegexQuery(Indexer::regexWith(QStringLiteral("rose")));
    view.nextHit();
    view.nextHit();
    ASSERT_EQ(view.currentHit(), 2);
    view.setRegexQuery(Indexer::regexWith(QStringLiteral("rose")));
    EXPECT_EQ(view.currentHit(), 2);
    EXPECT_FALSE(view.hitCanGoForward());
    EXPECT_EQ(view.textCursor().selectionStart(), 10);
}

TEST_F(PvTextViewTest, badPatternGivesNoMatches)
{
    view.setPlainText(QStringLiteral("rose"));
    view.setRegexQuery(QStringLiteral("(unclosed"));
    EXPECT_EQ(view.hitCount(), 0);
}

TEST_F(PvTextViewTest, movingTheCaretEndsTheTypingStepAndDeletingJoinsIt)
{
    QTest::keyClicks(&view, QStringLiteral("The tidf"));
    QTest::keyClick(&view, Qt::Key_Backspace, Qt::ControlModifier);
    QTest::keyClicks(&view, QStringLiteral("tidf"));
    QTest::keyClick(&view, Qt::Key_Backspace);
    QTest::keyClicks(&view, QStringLiteral("e"));
    QTest::keyClick(&view, Qt::Key_Home);
    QTest::keyClicks(&view, QStringLiteral("So "));
    ASSERT_EQ(view.toPlainText(), QStringLiteral("So The tide"));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("The tide"));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view.toPlainText(), QString());
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("The tide"));

    // Typing over a selection is a step of its own, also where the caret already stood at the end of the typing.
    QTest::keyClick(&view, Qt::Key_End);
    QTest::keyClicks(&view, QStringLiteral(" turned."));
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&view, QStringLiteral("Gone"));
    ASSERT_EQ(view.toPlainText(), QStringLiteral("Gone"));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view.toPlainText(), QStringLiteral("The tide turned."));
}

TEST_F(PvTextViewTest, eachPasteIsAnUndoStepOfItsOwn)
{
    QTest::keyClicks(&view, QStringLiteral("The tide"));
    for (const QString& piece : {QStringLiteral(" turned"), QStringLiteral(" late")}) {
        QGuiApplication::clipboard()->setText(piece);
        view.paste();
    }
    ASSERT_EQ(view.toPlainText(), QStringLiteral("The tide turned late"));
    // A long paste leaves its end, where the caret is, in sight.
    QGuiApplication::clipboard()->setText(QStringLiteral("\nwave").repeated(60));
    view.paste();
    EXPECT_GT(view.verticalScrollBar()->value(), 0);
    EXPECT_TRUE(view.viewport()->rect().contains(view.cursorRect().center()));
    view.undo();
    ASSERT_EQ(view.toPlainText(), QStringLiteral("The tide turned late"));
    view.undo();
    EXPECT_EQ(view.toPlainText(), QStringLiteral("The tide turned"));
    view.undo();
    EXPECT_EQ(view.toPlainText(), QStringLiteral("The tide"));
}

TEST_F(PvTextViewTest, replaceIsOneUndoStep)
{
    QTest::keyClicks(&view, QStringLiteral("hello"));
    view.replace({0, 5}, PvTextView::AttributedText{{QStringLiteral("bye"), {}}}, {3, 0});
    EXPECT_EQ(view.toPlainText(), QStringLiteral("bye"));
    // No colour of its own: the view draws it in the scheme's, whichever comes later.
    EXPECT_FALSE(formatAt(*view.document(), 0).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(view.palette().color(QPalette::Text), view.fgColor());
    view.undo();
    EXPECT_EQ(view.toPlainText(), QStringLiteral("hello"));
}

TEST_F(PvTextViewTest, firstResponderCallbackFollowsFocus)
{
    QList<bool> calls;
    view.firstResponderChange = [&calls](bool focused) {
        calls.append(focused);
    };
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&view, &out);
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(&view, &in);
    EXPECT_EQ(calls, (QList<bool>{false, true}));
}

} // namespace
