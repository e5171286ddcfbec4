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
    // The scan stops at a line break only from index 1 on: a text that starts with an empty line has its first
    // line start at 0 whatever comes after, so a list right below that empty line does not continue.
    Line line;
    for (int k = caret - 1; k >= 1; --k) {
        if (view.characterAt(k) == u'\n') {
            line.start = k + 1;
            break;
        }
    }
    line.indented = length > line.start + 1 && view.characterAt(line.start) == u'\t';
    line.markerIndex = line.indented ? line.start + 1 : line.start;
    if (line.markerIndex >= length)
        return std::nullopt;
    return line;
}

bool AutomaticBulletAndNumberLists::isCheckbox(const PvTextView& view, int position)
{
    QTextCursor cursor(view.document());
    cursor.setPosition(position + 1);
    return CheckboxAttachment::isCheckboxFormat(cursor.charFormat());
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
        QTextCharFormat format = view.textCursor().charFormat();
        insert(view, editing.location, {{QStringLiteral("\n") + tab + marker + u' ', format}});
        return false;
    }
    if (marker == QChar::ObjectReplacementCharacter && isCheckbox(view, line->markerIndex)) {
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
