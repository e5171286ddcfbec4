#include "EditorFixture.h"

#include "export/DocumentExport.h"
#include "richtext/DisplayLineSpacing.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTextLayout>

namespace {

// The room below every line in the editors is how the text is shown, never part of the text.
class EditorLineSpacingTest : public EditorFixture {
protected:
    QByteArray storedBytes() const { return DbHelpers::getItemDocument(context(), CardId)->content(); }
    void storeBytes(const QByteArray& bytes)
    {
        DbHelpers::getItemDocument(context(), CardId)->setContent(bytes);
        ASSERT_FALSE(context()->save());
    }
    // A change that leaves the words as they were: the editor rewrites the body on Save.
    void typeAndTakeBack(PvEditViewController* editor)
    {
        type(editor, QStringLiteral("x"));
        QTest::keyClick(editor->editor(), Qt::Key_Backspace);
        ASSERT_TRUE(editor->contentChanged());
    }
    // The card saved once through the editor with a second paragraph, so the stored body is in the editor's form.
    void writeTwoParagraphs(const QString& second)
    {
        PvEditViewController* editor = open();
        editor->editor()->moveCursor(QTextCursor::End);
        QTest::keyClick(editor->editor(), Qt::Key_Return);
        QTest::keyClicks(editor->editor(), second);
        ASSERT_TRUE(save(editor));
        ASSERT_TRUE(waitFor([this] { return !isOpen(); }));
    }
    // Any block carrying a line height, or a property of ours, on top of its paragraph style.
    static bool anyLineHeight(const QTextDocument& text)
    {
        for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
            for (const int key : block.blockFormat().properties().keys()) {
                if (key == QTextFormat::LineHeight || key == QTextFormat::LineHeightType ||
                    key >= QTextFormat::UserProperty)
                    return true;
            }
        }
        return false;
    }
};

TEST_F(EditorLineSpacingTest, savingAnUneditedTextWritesTheBytesItWasReadFrom)
{
    writeTwoParagraphs(QStringLiteral("Gulls cried over the harbour wall."));
    // A paragraph with a spacing of its own, as a card from elsewhere may carry: it must come back as it was.
    // Read and written the way an editor without spacing would: shown at the zoom, stored at base size.
    RichTextDocumentFormat::LoadResult stored = RichTextDocumentFormat::loadFrom(storedBytes());
    ASSERT_EQ(stored.document->blockCount(), 2);
    QTextCursor second(stored.document.get());
    second.setPosition(stored.document->lastBlock().position());
    QTextBlockFormat own = second.blockFormat();
    own.setLineHeight(3.0, QTextBlockFormat::LineDistanceHeight);
    second.setBlockFormat(own);
    const QByteArray before =
        *RichTextDocumentFormat::getData(*stored.document, RichTextDocumentFormat::LoadOptions().fontSize);
    storeBytes(before);

    PvEditViewController* editor = open();
    for (QTextBlock block = editor->editor()->document()->begin(); block.isValid(); block = block.next())
        EXPECT_EQ(block.blockFormat().lineHeight(), DisplayLineSpacing::EditorSpacing);
    // Export takes the paragraph's own spacing and nothing of the view's bookkeeping.
    const QTextBlockFormat exported = DocumentExport::preparedText(*editor->editor())->lastBlock().blockFormat();
    EXPECT_EQ(exported.lineHeight(), 3.0);
    EXPECT_EQ(exported.lineHeightType(), QTextBlockFormat::LineDistanceHeight);
    for (const int key : exported.properties().keys())
        EXPECT_LT(key, QTextFormat::UserProperty);
    typeAndTakeBack(editor);
    EXPECT_EQ(editor->autoSaveSnapshot().value(AutoSaveController::kContentKey).toByteArray(), before);
    ASSERT_TRUE(save(editor));
    EXPECT_EQ(storedBytes(), before);
    const RichTextDocumentFormat::LoadResult after =
        RichTextDocumentFormat::loadFrom(storedBytes(), RichTextDocumentFormat::LoadOptions{false});
    EXPECT_FALSE(after.document->firstBlock().blockFormat().hasProperty(QTextFormat::LineHeight));
    EXPECT_EQ(after.document->lastBlock().blockFormat().lineHeight(), 3.0);
}

TEST_F(EditorLineSpacingTest, everyLineOfTheEditorIsFollowedByEightPoints)
{
    const QString longParagraph =
        QStringLiteral("The tide came in over the flats while the keeper counted ships; ").repeated(6);
    writeTwoParagraphs(longParagraph);
    PvEditViewController* editor = open();
    QTextDocument* shown = editor->editor()->document();
    shown->documentLayout()->documentSize();
    // The same text as a plain document shows it: same fonts, same width, no spacing.
    RichTextDocumentFormat::LoadOptions options;
    options.fontSize = editor->editor()->fontSize();
    const RichTextDocumentFormat::LoadResult plain = RichTextDocumentFormat::loadFrom(storedBytes(), options);
    plain.document->setDocumentMargin(shown->documentMargin());
    plain.document->setTextWidth(shown->textWidth());
    plain.document->documentLayout()->documentSize();

    const QTextBlock shownLong = shown->lastBlock();
    const QTextBlock plainLong = plain.document->lastBlock();
    const int lines = shownLong.layout()->lineCount();
    ASSERT_GE(lines, 3);
    ASSERT_EQ(plainLong.layout()->lineCount(), lines);
    for (int line = 1; line < lines; ++line) {
        const qreal shownStep = shownLong.layout()->lineAt(line).y() - shownLong.layout()->lineAt(line - 1).y();
        const qreal plainStep = plainLong.layout()->lineAt(line).y() - plainLong.layout()->lineAt(line - 1).y();
        EXPECT_DOUBLE_EQ(shownStep - plainStep, DisplayLineSpacing::EditorSpacing) << "line " << line;
    }
    // The first paragraph's one line is followed by the same room before the next paragraph.
    QAbstractTextDocumentLayout* shownLayout = shown->documentLayout();
    QAbstractTextDocumentLayout* plainLayout = plain.document->documentLayout();
    const qreal shownGap =
        shownLayout->blockBoundingRect(shownLong).top() - shownLayout->blockBoundingRect(shown->firstBlock()).top();
    const qreal plainGap = plainLayout->blockBoundingRect(plainLong).top() -
                           plainLayout->blockBoundingRect(plain.document->firstBlock()).top();
    EXPECT_DOUBLE_EQ(shownGap - plainGap, DisplayLineSpacing::EditorSpacing);
}

TEST_F(EditorLineSpacingTest, pastedParagraphsAreSpacedLikeTheRestAndLeaveTheViewWithout)
{
    writeTwoParagraphs(QStringLiteral("Gulls cried."));
    PvEditViewController* editor = open();
    editor->editor()->selectAll();
    editor->editor()->copy();
    editor->editor()->moveCursor(QTextCursor::End);
    editor->editor()->paste();
    // What Export and Open in write is the text without the spacing, and taking it changes nothing on screen.
    const std::unique_ptr<QTextDocument> exported = DocumentExport::preparedText(*editor->editor());
    ASSERT_EQ(exported->blockCount(), 3);
    EXPECT_FALSE(anyLineHeight(*exported));
    QTextDocument* shown = editor->editor()->document();
    ASSERT_EQ(shown->blockCount(), 3);
    for (QTextBlock block = shown->begin(); block.isValid(); block = block.next()) {
        EXPECT_EQ(block.blockFormat().lineHeightType(), QTextBlockFormat::LineDistanceHeight);
        EXPECT_EQ(block.blockFormat().lineHeight(), DisplayLineSpacing::EditorSpacing);
    }
    // What another program would paste carries no spacing either.
    const QString html = QApplication::clipboard()->mimeData()->html();
    EXPECT_TRUE(html.contains(QStringLiteral("Gulls cried.")));
    EXPECT_FALSE(html.contains(QStringLiteral("line-spacing")));
    EXPECT_FALSE(html.contains(QStringLiteral("line-height")));
    ASSERT_TRUE(save(editor));
    const RichTextDocumentFormat::LoadResult stored =
        RichTextDocumentFormat::loadFrom(storedBytes(), RichTextDocumentFormat::LoadOptions{false});
    ASSERT_EQ(stored.document->blockCount(), 3);
    EXPECT_FALSE(anyLineHeight(*stored.document));
}

} // namespace
