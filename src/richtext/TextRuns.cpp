#include "TextRuns.h"

#include "core/Fonts.h"

#include <QHash>
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

// What a change makes of each format of a document, worked out once per format: a document holds each distinct
// format once under one index, and a long text has thousands of runs in a handful of formats.
class ChangedFormats {
public:
    explicit ChangedFormats(const std::function<bool(QTextCharFormat&)>& change) : m_change(change) {}

    // The changed format, or nothing when the change leaves it as it is.
    const std::optional<QTextCharFormat>& of(int index, const QTextCharFormat& format)
    {
        auto found = m_changed.find(index);
        if (found == m_changed.end()) {
            QTextCharFormat changed = format;
            found = m_changed.insert(index, m_change(changed) ? std::optional(changed) : std::nullopt);
        }
        return *found;
    }

private:
    const std::function<bool(QTextCharFormat&)>& m_change;
    QHash<int, std::optional<QTextCharFormat>> m_changed;
};

// Paragraph ends carry a format of their own, which sets the height of an empty line.
void applyToBlockEnd(QTextCursor& cursor, const QTextBlock& block, ChangedFormats& changed)
{
    const std::optional<QTextCharFormat>& format = changed.of(block.charFormatIndex(), block.charFormat());
    if (!format)
        return;
    cursor.setPosition(block.position());
    cursor.setBlockCharFormat(*format);
}

} // namespace

void TextRuns::apply(QTextDocument& document, const std::function<bool(QTextCharFormat&)>& change, int from, int to)
{
    const int end = to < 0 ? document.characterCount() : to;
    ChangedFormats changed(change);
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
            const std::optional<QTextCharFormat>& format =
                changed.of(fragment.charFormatIndex(), fragment.charFormat());
            if (format)
                changes.append({std::max(start, from), std::min(stop, end), *format});
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
        applyToBlockEnd(cursor, block, changed);
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

void TextRuns::scaleFont(QTextCharFormat& format, const QFont& base, double zoom, bool deScale)
{
    QFont run = format.font();
    run.setPointSizeF(pointSize(format));
    const QFont adjusted = Fonts::getAdjustedFontWithTargetFont(run, base, zoom, deScale);
    setBaseFont(format, adjusted.pointSizeF());
}

void TextRuns::scaleFonts(QTextDocument& document, double zoom, bool deScale, int from, int to)
{
    const QFont base = Fonts::getDefaultFontWithSize(BaseFontSize);
    apply(
        document,
        [&](QTextCharFormat& format) {
            scaleFont(format, base, zoom, deScale);
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
