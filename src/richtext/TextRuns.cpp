#include "TextRuns.h"

#include "core/Fonts.h"

#include <QList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

struct RunChange {
    int start;
    int end;
    QTextCharFormat format;
};

bool overlaps(int start, int end, int from, int to)
{
    return start < to && end > from;
}

// Paragraph ends carry a format of their own, which sets the height of an empty line.
void applyToBlockEnd(QTextDocument& document, const QTextBlock& block,
                     const std::function<bool(QTextCharFormat&)>& change)
{
    QTextCharFormat format = block.charFormat();
    if (!change(format))
        return;
    QTextCursor cursor(&document);
    cursor.setPosition(block.position());
    cursor.setBlockCharFormat(format);
}

} // namespace

void TextRuns::apply(QTextDocument& document, const std::function<bool(QTextCharFormat&)>& change, int from, int to)
{
    const int end = to < 0 ? document.characterCount() : to;
    // Collected first: setting a format merges fragments and would move the walk under our feet.
    QList<RunChange> changes;
    QList<QTextBlock> blocks;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= end;
         block = block.next()) {
        blocks.append(block);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = fragment.position();
            const int stop = start + fragment.length();
            if (!overlaps(start, stop, from, end))
                continue;
            QTextCharFormat format = fragment.charFormat();
            if (change(format))
                changes.append({std::max(start, from), std::min(stop, end), format});
        }
    }
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const RunChange& run : std::as_const(changes)) {
        cursor.setPosition(run.start);
        cursor.setPosition(run.end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(run.format);
    }
    for (const QTextBlock& block : std::as_const(blocks))
        applyToBlockEnd(document, block, change);
    cursor.endEditBlock();
}

qreal TextRuns::pointSize(const QTextCharFormat& format)
{
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        return format.fontPointSize();
    if (format.hasProperty(QTextFormat::FontPixelSize) && format.intProperty(QTextFormat::FontPixelSize) > 0)
        return format.intProperty(QTextFormat::FontPixelSize);
    return BaseFontSize;
}

void TextRuns::setBaseFont(QTextCharFormat& format, qreal size)
{
    const bool bold = format.font().bold();
    const bool italic = format.fontItalic();
    format.clearProperty(QTextFormat::FontFamily);
    format.clearProperty(QTextFormat::FontStyleName);
    format.clearProperty(QTextFormat::FontPixelSize);
    format.clearProperty(QTextFormat::FontSizeAdjustment);
    format.setFontFamilies({Fonts::DefaultFontName});
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    format.setFontPointSize(size);
}

void TextRuns::scaleFonts(QTextDocument& document, double zoom, bool deScale, int from, int to)
{
    const QFont base = Fonts::getDefaultFontWithSize(BaseFontSize);
    apply(
        document,
        [&](QTextCharFormat& format) {
            QFont run = format.font();
            run.setPointSizeF(pointSize(format));
            const QFont adjusted = Fonts::getAdjustedFontWithTargetFont(run, base, zoom, deScale);
            setBaseFont(format, adjusted.pointSizeF());
            return true;
        },
        from, to);
}

void TextRuns::setFontSize(QTextDocument& document, qreal size, int from, int to)
{
    apply(
        document,
        [size](QTextCharFormat& format) {
            setBaseFont(format, size);
            return true;
        },
        from, to);
}

void TextRuns::removeBackground(QTextDocument& document, int from, int to)
{
    apply(
        document,
        [](QTextCharFormat& format) {
            if (!format.hasProperty(QTextFormat::BackgroundBrush))
                return false;
            format.clearBackground();
            return true;
        },
        from, to);
}

void TextRuns::setForeground(QTextDocument& document, const std::optional<QColor>& color)
{
    apply(document, [&color](QTextCharFormat& format) {
        if (color)
            format.setForeground(*color);
        else
            format.clearForeground();
        return true;
    });
}
