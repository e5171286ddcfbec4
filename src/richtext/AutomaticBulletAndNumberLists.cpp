#include "AutomaticBulletAndNumberLists.h"

#include "CharAndString.h"
#include "CheckboxAttachment.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

bool AutomaticBulletAndNumberLists::autoContinueListsForTextView(PvTextView& view, PvTextView::Range editing)
{
    if (!autoContinueBulletListForTextView(view, editing))
        return false;
    return autoContinueNumberedListForTextView(view, editing);
}

std::optional<AutomaticBulletAndNumberLists::Line> AutomaticBulletAndNumberLists::listLine(const PvTextView& view,
                                                                                           PvTextView::Range editing)
{
    const int length = view.textLength();
    if (editing.length != 0 || length == 0)
        return std::nullopt;
    const int caret = view.textCursor().selectionStart();
    if (caret < length && view.characterAt(caret) != u'\n')
        return std::nullopt;
    // A line break at index 0 ends the first line like any other, so the line after it is a list line too.
    Line line;
    line.caret = caret;
    for (int k = caret - 1; k >= 0; --k) {
        if (view.characterAt(k) == u'\n') {
            line.start = k + 1;
            break;
        }
    }
    line.indented = length > line.start + 1 && view.characterAt(line.start) == u'\t';
    line.markerIndex = line.indented ? line.start + 1 : line.start;
    if (line.markerIndex >= length || line.markerIndex >= caret)
        return std::nullopt;
    return line;
}

bool AutomaticBulletAndNumberLists::isCheckbox(const PvTextView& view, int position)
{
    QTextCursor cursor(view.document());
    cursor.setPosition(position + 1);
    return CheckboxAttachment::isCheckboxFormat(cursor.charFormat());
}

bool AutomaticBulletAndNumberLists::endList(PvTextView& view, const Line& line, int markerEnd)
{
    int end = markerEnd;
    while (end < line.caret && isSpace(view.characterAt(end)))
        ++end;
    if (end != line.caret)
        return false;
    view.replace({line.start, line.caret - line.start}, PvTextView::AttributedText{}, {line.start, 0});
    return true;
}

void AutomaticBulletAndNumberLists::insert(PvTextView& view, int at, const PvTextView::AttributedText& text)
{
    int length = 0;
    for (const PvTextView::Run& run : text)
        length += int(run.text.size());
    view.replace({at, 0}, text, {at + length, 0});
}

bool AutomaticBulletAndNumberLists::autoContinueBulletListForTextView(PvTextView& view, PvTextView::Range editing)
{
    const std::optional<Line> line = listLine(view, editing);
    if (!line)
        return true;
    const QChar marker = view.characterAt(line->markerIndex);
    const QString tab = line->indented ? QStringLiteral("\t") : QString();
    if (marker == Bullet) {
        if (endList(view, *line, line->markerIndex + 1))
            return false;
        QTextCharFormat format = view.textCursor().charFormat();
        insert(view, editing.location, {{QStringLiteral("\n") + tab + marker + u' ', format}});
        return false;
    }
    if (marker == QChar::ObjectReplacementCharacter && isCheckbox(view, line->markerIndex)) {
        if (endList(view, *line, line->markerIndex + 1))
            return false;
        // A ticked line goes on with an empty box.
        insert(view, editing.location, view.makeUncheckedCheckboxStr(true, line->indented));
        return false;
    }
    return true;
}

bool AutomaticBulletAndNumberLists::autoContinueNumberedListForTextView(PvTextView& view, PvTextView::Range editing)
{
    const std::optional<Line> line = listLine(view, editing);
    if (!line)
        return true;
    const int length = view.textLength();
    QString digits;
    for (int p = line->markerIndex; p < length; ++p) {
        const QChar c = view.characterAt(p);
        if (c.isDigit()) {
            digits.append(c);
            if (digits.size() > MaxDigits)
                return true;
            continue;
        }
        if (c == u'.') {
            if (digits.isEmpty())
                return true;
            if (p + 1 >= length)
                continue;
            if (!isSpace(CharAndString(view.characterAt(p + 1)).charValue()))
                return true;
            if (endList(view, *line, p + 1))
                return false;
            const QString tab = line->indented ? QStringLiteral("\t") : QString();
            const QString marker = QStringLiteral("\n%1%2. ").arg(tab).arg(digits.toLongLong() + 1);
            insert(view, editing.location, {{marker, view.textCursor().charFormat()}});
            return false;
        }
        if (c.isSpace() || c == u'\n')
            return true;
    }
    return true;
}
