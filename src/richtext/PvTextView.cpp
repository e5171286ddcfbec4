#include "PvTextView.h"

#include "AttachmentNormaliser.h"
#include "AutomaticBulletAndNumberLists.h"
#include "CheckboxAttachment.h"
#include "CheckboxTextObject.h"
#include "DisplayLineSpacing.h"
#include "QJCheckboxAttachment.h"
#include "QJTextAttachment.h"
#include "QJUncheckedCheckboxAttachment.h"
#include "TextRuns.h"
#include "core/Fonts.h"
#include "platform/ColorScheme.h"
#include "platform/UserDefaults.h"
#include "platform/text/TextAttachment.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

constexpr QChar ObjectCharacter = QChar::ObjectReplacementCharacter;

bool isBaseFont(const QTextCharFormat& format, qreal size)
{
    const QStringList families = format.fontFamilies().toStringList();
    return TextRuns::pointSize(format) == size && !families.isEmpty() && families.first() == Fonts::DefaultFontName;
}

// Spacing is how the text is shown, not a step the writer could undo.
void withoutHistory(QTextDocument& text, const std::function<void(QTextDocument&)>& change)
{
    const bool undo = text.isUndoRedoEnabled();
    text.setUndoRedoEnabled(false);
    change(text);
    text.setUndoRedoEnabled(undo);
}

// Keys that put text in or take it out as the writer types, as against commands and moves of the caret.
bool isTyping(const QKeyEvent& event)
{
    for (const QKeySequence::StandardKey command :
         {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Cut, QKeySequence::Paste}) {
        if (event.matches(command))
            return false;
    }
    if (event.key() == Qt::Key_Backspace || event.key() == Qt::Key_Delete)
        return true;
    // A key with text that edits nothing (Escape) only closes an empty step that the next key joins.
    return !event.text().isEmpty() && !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
}

} // namespace

PvTextView::PvTextView(QWidget* parent) : QTextEdit(parent)
{
    m_fontSize = sanitisedZoom(UserDefaults::standard().value(ZoomKey));
    setAcceptRichText(true);
    adoptDocument(RichTextDocumentFormat::loadFrom({}).document);
    applyColorScheme(ColorScheme::isDark());
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this](bool dark) {
        if (dark != m_dark)
            applyColorScheme(dark);
    });
}

PvTextView::~PvTextView() = default;

double PvTextView::sanitisedZoom(const QVariant& zoom)
{
    bool ok = false;
    const double value = zoom.toDouble(&ok);
    // A zoom of 0 or none would make every size 0 and every de-scale infinite.
    if (!ok || !std::isfinite(value) || value <= 0)
        return DefaultZoom;
    return std::min(value, MaxZoom);
}

qreal PvTextView::workingSize() const
{
    return fixedFontSize > 0 ? fixedFontSize : m_fontSize * TextRuns::BaseFontSize;
}

void PvTextView::applyColorScheme(bool dark)
{
    m_dark = dark;
    m_fg = QColor(dark ? kEditorDarkForeground : kEditorForeground);
    m_bg = QColor(dark ? kEditorDarkBackground : kEditorBackground);
    // The view's own text carries no colour: the palette draws it, so a switch changes nothing in the text.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, m_bg);
    colours.setColor(QPalette::Text, m_fg);
    setPalette(colours);
    recolourCarriedRuns();
}

void PvTextView::recolourCarriedRuns()
{
    const QColor fg = m_fg;
    const auto stale = [fg](const QTextCharFormat& format) {
        return format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().color() != fg;
    };
    bool found = false;
    for (QTextBlock block = document()->begin(); block.isValid() && !found; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd() && !found; ++it)
            found = stale(it.fragment().charFormat());
    }
    if (!found)
        return;
    const QScopedValueRollback guard(m_processing, true);
    withoutHistory(*document(), [&](QTextDocument& text) {
        TextRuns::apply(text, [&](QTextCharFormat& format) {
            if (!stale(format))
                return false;
            format.setForeground(fg);
            return true;
        });
    });
}

// Documents

std::optional<QByteArray> PvTextView::getData(std::optional<double> scale) const
{
    return RichTextDocumentFormat::getData(*document(), scale);
}

RichTextDocumentFormat::LoadOptions PvTextView::loadOptions(bool adjust) const
{
    RichTextDocumentFormat::LoadOptions options;
    options.adjustFonts = adjust;
    options.fontSize = m_fontSize;
    options.fixedFontSize = fixedFontSize;
    // No colour of its own: the text is drawn in the scheme's colour, whichever scheme comes later.
    options.fgColor = std::nullopt;
    options.darkMode = m_dark;
    return options;
}

RichTextDocumentFormat::LoadStatus PvTextView::loadFrom(const QByteArray& data, bool adjust)
{
    adjustFonts = adjust;
    return showLoaded(RichTextDocumentFormat::loadFrom(data, loadOptions(adjust)));
}

RichTextDocumentFormat::LoadStatus PvTextView::loadFromRTFData(const QByteArray& data, bool adjust)
{
    adjustFonts = adjust;
    return showLoaded(RichTextDocumentFormat::loadFromRTFData(data, loadOptions(adjust)));
}

RichTextDocumentFormat::LoadStatus PvTextView::loadFromDataForPrint(const QByteArray& data)
{
    m_fontSize = RichTextDocumentFormat::PrintFontSize;
    fixedFontSize = RichTextDocumentFormat::PrintFixedFontSize;
    return loadFrom(data, false);
}

RichTextDocumentFormat::LoadStatus PvTextView::showLoaded(RichTextDocumentFormat::LoadResult result)
{
    const RichTextDocumentFormat::LoadStatus status = result.status;
    // An unreadable body is shown as nothing; the caller knows from the status never to save over it.
    adoptDocument(result.document ? std::move(result.document) : RichTextDocumentFormat::loadFrom({}).document);
    refreshMatches();
    return status;
}

void PvTextView::setAttributedText(std::unique_ptr<QTextDocument> text)
{
    adoptDocument(text ? std::move(text) : RichTextDocumentFormat::loadFrom({}).document);
    refreshMatches();
}

void PvTextView::adoptDocument(std::unique_ptr<QTextDocument> loaded)
{
    // The view's first document belongs to the widget, which deletes it on the swap; later ones are ours.
    QTextDocument* previous = document() && document()->parent() == this ? document() : nullptr;
    // The reader already normalised and sized the text: no reprocessing while it is taken in.
    m_processing = true;
    QTextDocument* next = loaded.release();
    next->setParent(this);
    m_typedRevision = -1;
    showSpacing(*next);
    m_checkboxes = new CheckboxTextObject(next);
    setDocument(next);
    next->documentLayout()->registerHandler(TextAttachment::ObjectType, m_checkboxes);
    connect(next, &QTextDocument::contentsChange, this, &PvTextView::onContentsChange);
    if (previous)
        previous->deleteLater();
    fitImages(lineWidth());
    m_processing = false;
}

void PvTextView::setLineSpacing(qreal spacing)
{
    if (spacing == m_lineSpacing)
        return;
    const QScopedValueRollback guard(m_processing, true);
    withoutHistory(*document(), [this, spacing](QTextDocument& text) {
        DisplayLineSpacing::strip(text);
        m_lineSpacing = spacing;
    });
    showSpacing(*document());
}

void PvTextView::showSpacing(QTextDocument& text)
{
    if (m_lineSpacing <= 0)
        return;
    withoutHistory(text, [this](QTextDocument& shown) { DisplayLineSpacing::apply(shown, m_lineSpacing); });
}

// Scaling

void PvTextView::scaleContentInline(double zoom, bool deScale)
{
    m_fontSize = sanitisedZoom(zoom);
    m_processing = true;
    TextRuns::scaleFonts(*document(), m_fontSize, deScale);
    m_processing = false;
}

void PvTextView::rescaleTo(double zoom)
{
    const double target = sanitisedZoom(zoom);
    if (target == m_fontSize)
        return;
    const double factor = target / m_fontSize;
    m_processing = true;
    TextRuns::scaleFonts(*document(), factor, false);
    m_fontSize = target;
    m_processing = false;
}

std::unique_ptr<QTextDocument> PvTextView::scaleContent(const QTextDocument& text, double zoom, bool deScale)
{
    m_fontSize = sanitisedZoom(zoom);
    std::unique_ptr<QTextDocument> copy(text.clone());
    // The copy leaves the view (export, open in): it carries the text, not how the view shows it.
    DisplayLineSpacing::strip(*copy);
    TextRuns::scaleFonts(*copy, m_fontSize, deScale);
    return copy;
}

// Editing

void PvTextView::typeEdit(const std::function<void()>& edit)
{
    QTextCursor step = textCursor();
    const bool continues =
        document()->revision() == m_typedRevision && step.position() == m_typedPosition && !step.hasSelection();
    if (continues)
        step.joinPreviousEditBlock();
    else
        step.beginEditBlock();
    edit();
    // The view's normalisation runs here, as the block closes, and joins the same step.
    step.endEditBlock();
    m_typedRevision = document()->revision();
    m_typedPosition = textCursor().position();
}

void PvTextView::replace(Range range, const std::optional<AttributedText>& text, Range select)
{
    // One edit block: a single undo takes the whole replacement back.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.setPosition(range.location);
    cursor.setPosition(range.location + range.length, QTextCursor::KeepAnchor);
    if (text) {
        cursor.removeSelectedText();
        // Drawn in the scheme's colour, as typed text is.
        for (Run run : *text) {
            run.format.clearForeground();
            cursor.insertText(run.text, run.format);
        }
    }
    cursor.endEditBlock();
    QTextCursor selection(document());
    selection.setPosition(select.location);
    selection.setPosition(select.location + select.length, QTextCursor::KeepAnchor);
    setTextCursor(selection);
}

PvTextView::AttributedText PvTextView::makeUncheckedCheckboxStr(bool newline, bool tab) const
{
    QTextCharFormat font;
    TextRuns::setBaseFont(font, workingSize());
    QJUncheckedCheckboxAttachment box({}, {}, m_dark);
    QTextCharFormat boxFormat = font;
    boxFormat.merge(box.format());
    AttributedText text;
    const QString lead = QString(newline ? "\n" : "") + QString(tab ? "\t" : "");
    if (!lead.isEmpty())
        text.append({lead, font});
    text.append({QString(ObjectCharacter), boxFormat});
    text.append({QStringLiteral(" "), font});
    return text;
}

bool PvTextView::toggleCheckboxAt(int position)
{
    QTextCursor cursor(document());
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    const QTextCharFormat format = cursor.charFormat();
    if (characterAt(position) != ObjectCharacter || !CheckboxAttachment::isCheckboxFormat(format))
        return false;
    const std::unique_ptr<CheckboxAttachment> box = CheckboxAttachment::fromFormat(format, m_dark);
    const bool checked = box->isChecked();
    QTextCharFormat toggled = AttachmentNormaliser::withoutAttachment(format);
    toggled.merge(checked ? QJUncheckedCheckboxAttachment({}, {}, m_dark).format()
                          : QJCheckboxAttachment({}, {}, m_dark).format());
    cursor.beginEditBlock();
    cursor.setCharFormat(toggled);
    cursor.endEditBlock();
    return true;
}

void PvTextView::fitImages(qreal width, int from, int to)
{
    if (width <= 0)
        return;
    // Sizing is display only: it must not come back to us as an edit.
    const QScopedValueRollback guard(m_processing, true);
    QTextDocument& text = *document();
    TextRuns::apply(
        text,
        [&](QTextCharFormat& format) {
            if (!format.isImageFormat())
                return false;
            QJTextAttachment image = QJTextAttachment::fromFormat(format, text);
            if (image.image().isNull())
                return false;
            const QRectF bounds = image.scaleImageSizeToWidth(float(width));
            QTextImageFormat sized = format.toImageFormat();
            if (sized.width() == bounds.width() && sized.height() == bounds.height())
                return false;
            sized.setWidth(bounds.width());
            sized.setHeight(bounds.height());
            format = sized;
            return true;
        },
        from, to);
}

qreal PvTextView::lineWidth() const
{
    return viewport()->width() - 2 * document()->documentMargin();
}

// Edits

void PvTextView::onContentsChange(int position, int removed, int added)
{
    if (m_processing)
        return;
    m_processing = true;
    // What the view makes of an edit belongs to the edit's own undo step: one Undo takes both back.
    QTextCursor step(document());
    step.joinPreviousEditBlock();
    const int end = std::min(position + added, textLength());
    removeStrayObjectCharacters(position, end);
    normaliseRange(position, std::min(position + added, textLength()));
    step.endEditBlock();
    m_processing = false;
    updateMatches(position, removed, added);
    emit textEdited();
}

void PvTextView::removeStrayObjectCharacters(int from, int to)
{
    // A U+FFFC without an attachment behind it (pasted text from elsewhere) would be stored as a dead object.
    QTextCursor cursor(document());
    for (int position = to - 1; position >= from; --position) {
        if (characterAt(position) != ObjectCharacter)
            continue;
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        if (!AttachmentNormaliser::isAttachment(cursor.charFormat()))
            cursor.removeSelectedText();
    }
}

void PvTextView::normaliseRange(int from, int to)
{
    if (to <= from)
        return;
    if (!m_matches.isEmpty())
        TextRuns::removeBackground(*document(), from, to);
    detachPlainCharacters(from, to);
    AttachmentNormaliser::normalise(*document(), m_dark, from, to);
    fitImages(lineWidth(), from, to);
    if (!adjustFonts)
        return;
    const qreal size = workingSize();
    TextRuns::apply(
        *document(),
        [size](QTextCharFormat& format) {
            if (isBaseFont(format, size))
                return false;
            TextRuns::setBaseFont(format, size);
            return true;
        },
        from, to);
}

void PvTextView::detachPlainCharacters(int from, int to)
{
    // Text typed right after an attachment takes its format; only the U+FFFC itself may keep the attachment.
    QList<int> plain;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() >= to || fragment.position() + fragment.length() <= from ||
                !AttachmentNormaliser::isAttachment(fragment.charFormat()))
                continue;
            const QString text = fragment.text();
            for (int i = 0; i < text.size(); ++i) {
                if (text.at(i) != ObjectCharacter)
                    plain.append(fragment.position() + i);
            }
        }
    }
    QTextCursor cursor(document());
    for (const int position : std::as_const(plain)) {
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(AttachmentNormaliser::withoutAttachment(cursor.charFormat()));
    }
}

// Search

void PvTextView::setRegexQuery(const QString& pattern)
{
    m_regexQuery = pattern;
    refreshMatches();
}

QList<PvTextView::Range> PvTextView::scanMatches(int from, int to) const
{
    QList<Range> found;
    const QRegularExpression pattern(m_regexQuery, QRegularExpression::CaseInsensitiveOption);
    if (m_regexQuery.isEmpty() || !pattern.isValid() || to <= from)
        return found;
    QTextCursor cursor(document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    for (auto it = pattern.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.lastCapturedIndex() >= 1 && match.capturedStart(1) >= 0)
            found.append({from + int(match.capturedStart(1)), int(match.capturedLength(1))});
    }
    return found;
}

void PvTextView::updateMatches(int position, int removed, int added)
{
    if (m_regexQuery.isEmpty())
        return;
    // The whole changed paragraph is scanned again: an edit can make or break a word on either side of it.
    const int delta = added - removed;
    const QTextBlock first = document()->findBlock(position);
    const QTextBlock last = document()->findBlock(std::min(position + added, textLength()));
    const int start = first.position();
    const int newEnd = last.position() + last.length();
    const int oldEnd = newEnd - delta;
    QList<Range> kept;
    for (Range match : std::as_const(m_matches)) {
        if (match.location >= start && match.location < oldEnd)
            continue;
        if (match.location >= oldEnd)
            match.location += delta;
        kept.append(match);
    }
    kept.append(scanMatches(start, std::min(newEnd, textLength())));
    std::sort(kept.begin(), kept.end(), [](const Range& a, const Range& b) { return a.location < b.location; });
    m_matches = kept;
    m_currentHit = std::min(m_currentHit, hitCount() - 1);
    highlightMatches();
}

void PvTextView::refreshMatches()
{
    if (!m_regexQuery.isEmpty())
        m_matches = scanMatches(0, textLength());
    else
        m_matches.clear();
    m_currentHit = std::min(m_currentHit, hitCount() - 1);
    highlightMatches();
    if (m_currentHit < hitCount() - 1) {
        ++m_currentHit;
        showHit();
    }
}

void PvTextView::previousHit()
{
    if (!hitCanGoBack())
        return;
    --m_currentHit;
    showHit();
}

void PvTextView::nextHit()
{
    if (!hitCanGoForward())
        return;
    ++m_currentHit;
    showHit();
}

void PvTextView::showHit()
{
    if (m_currentHit < 0 || m_currentHit >= hitCount())
        return;
    const Range match = m_matches.at(m_currentHit);
    QTextCursor cursor(document());
    cursor.setPosition(std::min(match.location, textLength()));
    cursor.setPosition(std::min(match.location + match.length, textLength()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void PvTextView::highlightMatches()
{
    // Shown as extra selections, never as formats: highlights must not reach a stored document.
    QList<ExtraSelection> selections;
    QTextCharFormat marked;
    marked.setBackground(QColor(m_dark ? "#6B5B1F" : "#FFE58A"));
    for (const Range& match : std::as_const(m_matches)) {
        QTextCursor cursor(document());
        cursor.setPosition(std::min(match.location, textLength()));
        cursor.setPosition(std::min(match.location + match.length, textLength()), QTextCursor::KeepAnchor);
        selections.append({cursor, marked});
    }
    setExtraSelections(selections);
}

// Text helpers

int PvTextView::textLength() const
{
    return document()->characterCount() - 1;
}

QChar PvTextView::characterAt(int position) const
{
    const QChar character = document()->characterAt(position);
    return character == QChar::ParagraphSeparator ? QChar(u'\n') : character;
}

// Events

void PvTextView::keyPressEvent(QKeyEvent* event)
{
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && !(event->modifiers() & ~Qt::KeypadModifier)) {
        const QTextCursor cursor = textCursor();
        const Range editing{cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
        if (!AutomaticBulletAndNumberLists::autoContinueListsForTextView(*this, editing)) {
            event->accept();
            return;
        }
    }
    if (!isTyping(*event)) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    typeEdit([this, event] { QTextEdit::keyPressEvent(event); });
    // The layout follows the text only once the step is closed.
    ensureCursorVisible();
}

int PvTextView::checkboxAt(const QPoint& viewportPoint) const
{
    const QPointF point = viewportPoint + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int hit = document()->documentLayout()->hitTest(point, Qt::FuzzyHit);
    for (const int position : {hit, hit - 1}) {
        if (position < 0 || characterAt(position) != ObjectCharacter)
            continue;
        QTextCursor cursor(document());
        cursor.setPosition(position + 1);
        if (!CheckboxAttachment::isCheckboxFormat(cursor.charFormat()))
            continue;
        QTextCursor before(document());
        before.setPosition(position);
        const QRect left = cursorRect(before);
        const QRect right = cursorRect(cursor);
        const QRect box(QPoint(left.left(), left.top()), QPoint(right.left(), left.bottom() + 4));
        if (box.contains(viewportPoint))
            return position;
    }
    return -1;
}

void PvTextView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const int box = checkboxAt(event->position().toPoint());
        // Ticking a box is not a move of the caret: the writer keeps typing where they were.
        if (box >= 0 && toggleCheckboxAt(box)) {
            event->accept();
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

void PvTextView::focusInEvent(QFocusEvent* event)
{
    if (firstResponderChange)
        firstResponderChange(true);
    QTextEdit::focusInEvent(event);
}

void PvTextView::focusOutEvent(QFocusEvent* event)
{
    if (firstResponderChange)
        firstResponderChange(false);
    QTextEdit::focusOutEvent(event);
}

void PvTextView::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    fitImages(lineWidth());
}

// Clipboard and drag

QMimeData* PvTextView::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return QTextEdit::createMimeDataFromSelection();
    const std::unique_ptr<QMimeData> standard(QTextEdit::createMimeDataFromSelection());
    auto* data = new QMimeData;
    data->setText(standard->text());
    QTextDocument piece;
    QTextCursor(&piece).insertFragment(cursor.selection());
    // What other programs paste is the text, without the room this view shows below its lines.
    DisplayLineSpacing::strip(piece);
    data->setHtml(piece.toHtml());
    return data;
}

bool PvTextView::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText() || source->hasImage();
}

void PvTextView::insertFromMimeData(const QMimeData* source)
{
    // Text arrives as plain text in the typing format, whoever copied it, this view included.
    if (source->hasText()) {
        pastePlainText(source->text());
        return;
    }
    if (source->hasImage()) {
        const QJTextAttachment image(qvariant_cast<QImage>(source->imageData()));
        if (image.image().isNull())
            return;
        QTextCursor cursor = textCursor();
        cursor.beginEditBlock();
        cursor.insertText(QString(ObjectCharacter), image.format(*document()));
        cursor.endEditBlock();
    }
}

void PvTextView::pastePlainText(const QString& text)
{
    // Formatting is dropped; a U+FFFC in copied text has no attachment behind it.
    QString plain = text;
    plain.remove(ObjectCharacter);
    // A paste is a step of its own, whatever was typed before it.
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(plain);
    cursor.endEditBlock();
    ensureCursorVisible();
}
