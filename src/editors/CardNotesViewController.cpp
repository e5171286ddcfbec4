#include "CardNotesViewController.h"

#include "core/Metrics.h"
#include "core/NavigationHelpers.h"
#include "platform/Alert.h"
#include "platform/BarButtonItem.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/Storyboard.h"

#include <QColorSpace>
#include <QColorTransform>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QVBoxLayout>

CardNotesViewController::CardNotesViewController(QWidget* parent)
    : ViewController(parent), m_editor(new QTextEdit(this))
{
    setObjectName(QStringLiteral("CardNotesViewController"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_editor->setObjectName(QStringLiteral("notesEditor"));
    // Notes are plain text: pasted formatting is dropped.
    m_editor->setAcceptRichText(false);
    m_editor->setFrameShape(QFrame::NoFrame);
    layout->addWidget(m_editor);
    connect(m_editor, &QTextEdit::textChanged, this, &CardNotesViewController::textViewDidChange);
}

void CardNotesViewController::registerInStoryboard()
{
    Storyboard::registerFactory(StoryboardIdentifier, [] { return new CardNotesViewController; });
}

QColor CardNotesViewController::barColor()
{
    const QColorTransform toSrgb =
        QColorSpace(QColorSpace::DisplayP3).transformationToColorSpace(QColorSpace(QColorSpace::SRgb));
    // Clamped into sRGB: the P3 red lies just beyond it.
    return toSrgb.map(QColor::fromRgbF(1.0f, 0.909f, 0.325f)).toRgb();
}

void CardNotesViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    m_saveButton = new BarButtonItem(SaveTitle, this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setEnabled(false);
    connect(m_saveButton, &QAction::triggered, this, &CardNotesViewController::save);

    m_clearButton = new BarButtonItem(ClearTitle, this);
    m_clearButton->setObjectName(QStringLiteral("clearButton"));
    m_clearButton->setEnabled(!m_notes.isEmpty());
    connect(m_clearButton, &QAction::triggered, this, &CardNotesViewController::clear);

    m_cancelButton = new BarButtonItem(CancelTitle, this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(m_cancelButton, &QAction::triggered, this, &CardNotesViewController::cancel);

    navigationItem()->setRightBarButtonItems({m_saveButton, m_clearButton});
    navigationItem()->setLeftBarButtonItem(m_cancelButton);
    setTitle(Title);
    showText(m_notes);
    m_editor->setFocus();
}

void CardNotesViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    // The holder is known only once the sheet is in its navigation controller, which is before it appears.
    ViewController* host = presentationHost();
    host->setModalInPresentation(true);
    if (NavigationController* navigation = navigationController())
        NavigationHelpers::setupCustomNavbar(navigation->navigationBar(), Qt::black, barColor());
    QFont font = m_editor->font();
    font.setPointSizeF(Metrics::scaled(FontSize));
    // A new font is no change of the writer's.
    m_settingText = true;
    m_editor->setFont(font);
    m_settingText = false;
    m_editor->setFocus();
}

void CardNotesViewController::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    // Asked before the sheet was on screen, the focus went nowhere: the writer types into the notes at once.
    m_editor->setFocus();
}

ViewController* CardNotesViewController::presentationHost()
{
    if (NavigationController* navigation = navigationController())
        return navigation;
    return this;
}

void CardNotesViewController::showText(const QString& text)
{
    m_settingText = true;
    m_editor->setPlainText(text);
    applyInset();
    m_settingText = false;
}

void CardNotesViewController::applyInset()
{
    // The inset is the root frame's margin, so the scroll bar stays at the sheet's edge and the text
    // keeps its distance from it.
    QTextDocument* document = m_editor->document();
    document->setDocumentMargin(0);
    QTextFrameFormat format = document->rootFrame()->frameFormat();
    format.setTopMargin(InsetTop);
    format.setLeftMargin(InsetLeft);
    format.setBottomMargin(InsetBottom);
    format.setRightMargin(InsetRight);
    document->rootFrame()->setFrameFormat(format);
}

void CardNotesViewController::textViewDidChange()
{
    if (!m_settingText)
        markModified();
}

void CardNotesViewController::markModified()
{
    m_modified = true;
    if (m_saveButton)
        m_saveButton->setEnabled(true);
    if (m_clearButton)
        m_clearButton->setEnabled(true);
}

void CardNotesViewController::save()
{
    // Save is only offered after a change; a second press while the sheet closes hands nothing back twice.
    if (!m_modified || m_finished)
        return;
    m_finished = true;
    const QString text = m_editor->toPlainText();
    if (m_notesModified)
        m_notesModified(text);
    dismiss(true);
}

void CardNotesViewController::clear()
{
    if (m_finished)
        return;
    auto* alert = new Alert(ClearAlertTitle, ClearAlertMessage, AlertStyle::Alert);
    alert->addAction(YesTitle, AlertActionStyle::Default, [self = QPointer(this)] {
        if (!self)
            return;
        self->showText(QString());
        self->markModified();
    });
    alert->addAction(CancelTitle, AlertActionStyle::Cancel);
    alert->present(this);
}

void CardNotesViewController::cancel()
{
    if (m_finished)
        return;
    if (!m_modified) {
        m_finished = true;
        dismiss(true);
        return;
    }
    auto* alert = new Alert(DiscardAlertTitle, DiscardAlertMessage, AlertStyle::Alert);
    alert->addAction(DiscardTitle, AlertActionStyle::Default, [self = QPointer(this)] {
        if (!self || self->m_finished)
            return;
        self->m_finished = true;
        self->dismiss(true);
    });
    alert->addAction(CancelTitle, AlertActionStyle::Cancel);
    alert->present(this);
}

void CardNotesViewController::presentationDidAttemptToDismiss()
{
    cancel();
}
