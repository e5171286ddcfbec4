#include "DialogInputController.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int FocusDelayMs = 500;

bool isBlankOrTab(QChar unit)
{
    return unit == u' ' || unit == u'\t' || unit.category() == QChar::Separator_Space;
}

} // namespace

DialogInputController::DialogInputController(const QString& title, const QString& label, const QString& placeholder,
                                             const QString& initialText, OkAction okAction, CancelAction cancelAction,
                                             QWidget* parent)
    : DialogBaseController(parent), m_dialogTitle(title), m_dialogLabel(label), m_dialogPlaceholder(placeholder),
      m_dialogInitialText(initialText), m_dialogOKAction(std::move(okAction)),
      m_dialogCancelAction(std::move(cancelAction))
{
    setObjectName(QStringLiteral("DialogInputController"));
    buildLayout();
    setTitle(title);
    loadViewIfNeeded();
    roundCorners();
    // Even with an initial text OK waits for the first edit.
    m_okButtonView->setEnabled(false);
}

void DialogInputController::buildLayout()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_contentView = new QWidget(this);
    m_contentView->setObjectName(QStringLiteral("contentView"));
    outer->addWidget(m_contentView);

    auto* layout = new QVBoxLayout(m_contentView);
    layout->setContentsMargins(0, 10, 0, 0);
    layout->setSpacing(6);
    m_labelView = new QLabel(m_contentView);
    m_labelView->setObjectName(QStringLiteral("labelView"));
    m_labelView->setTextFormat(Qt::PlainText);
    m_inputField = new QLineEdit(m_contentView);
    m_inputField->setObjectName(QStringLiteral("inputField"));
    auto* fields = new QVBoxLayout;
    fields->setContentsMargins(12, 0, 12, 0);
    fields->setSpacing(6);
    fields->addWidget(m_labelView);
    fields->addWidget(m_inputField);
    layout->addLayout(fields);
    layout->addStretch(1);

    m_bottomSeparatorView = new QWidget(m_contentView);
    m_bottomSeparatorView->setObjectName(QStringLiteral("bottomSeparatorView"));
    m_bottomSeparatorView->setFixedHeight(1);
    layout->addWidget(m_bottomSeparatorView);

    m_cancelButtonView = new QPushButton(CancelTitle, m_contentView);
    m_cancelButtonView->setObjectName(QStringLiteral("cancelButton"));
    m_okButtonView = new QPushButton(OkTitle, m_contentView);
    m_okButtonView->setObjectName(QStringLiteral("okButton"));
    for (QPushButton* button : {m_cancelButtonView, m_okButtonView}) {
        button->setFlat(true);
        button->setAutoDefault(false);
        button->setMinimumHeight(32);
    }
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 2);
    buttons->addWidget(m_cancelButtonView, 1);
    buttons->addWidget(m_okButtonView, 1);
    layout->addLayout(buttons);

    connect(m_okButtonView, &QPushButton::clicked, this, &DialogInputController::okTapped);
    connect(m_cancelButtonView, &QPushButton::clicked, this, &DialogInputController::cancelTapped);
    connect(m_inputField, &QLineEdit::textEdited, this, &DialogInputController::inputTextFieldDidChange);
    // Return confirms as OK would, and only when OK is enabled.
    connect(m_inputField, &QLineEdit::returnPressed, this, [this] {
        if (m_okButtonView->isEnabled())
            okTapped();
    });
}

void DialogInputController::viewDidLoad()
{
    DialogBaseController::viewDidLoad();
    m_labelView->setText(m_dialogLabel);
    m_inputField->setPlaceholderText(m_dialogPlaceholder);
    m_inputField->setText(m_dialogInitialText);
    applyColors();
    colorsApplied();
}

void DialogInputController::viewWillAppear(bool animated)
{
    DialogBaseController::viewWillAppear(animated);
    styleNavigationBar();
}

void DialogInputController::viewDidAppear(bool animated)
{
    DialogBaseController::viewDidAppear(animated);
    if (!m_inputField->isEnabled() || m_inputField->focusPolicy() == Qt::NoFocus)
        return;
    QTimer::singleShot(FocusDelayMs, this, [this] { m_inputField->setFocus(Qt::OtherFocusReason); });
}

void DialogInputController::applyColors()
{
    paintBackground(m_contentView, backgroundColor());
    paintBackground(m_bottomSeparatorView, separatorColor());
}

QString DialogInputController::trimmedText(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlankOrTab(text.at(start)))
        ++start;
    while (end > start && isBlankOrTab(text.at(end - 1)))
        --end;
    return text.mid(start, end - start);
}

bool DialogInputController::acceptsText(const QString& text, const QString& initialText)
{
    const QString trimmed = trimmedText(text);
    if (trimmed.isEmpty())
        return false;
    return initialText.isEmpty() || trimmed != initialText;
}

void DialogInputController::inputTextFieldDidChange()
{
    m_okButtonView->setEnabled(acceptsText(m_inputField->text(), m_dialogInitialText));
}

void DialogInputController::okTapped()
{
    if (m_finished)
        return;
    m_finished = true;
    // Read before dismissing: the field goes with the sheet.
    const QString text = trimmedText(m_inputField->text());
    const OkAction action = m_dialogOKAction;
    dismiss(true);
    if (action)
        action(text);
}

void DialogInputController::cancelTapped()
{
    if (m_finished)
        return;
    m_finished = true;
    const CancelAction action = m_dialogCancelAction;
    dismiss(true);
    if (action)
        action();
}

void DialogInputController::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
        DialogBaseController::keyPressEvent(event);
        return;
    }
    event->accept();
    cancelTapped();
}
