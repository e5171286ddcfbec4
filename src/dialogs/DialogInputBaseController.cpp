#include "DialogInputBaseController.h"

#include <QHBoxLayout>
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

DialogInputBaseController::DialogInputBaseController(const QString& title, const QString& label,
                                                     const QString& placeholder, const QString& initialText,
                                                     OkAction okAction, CancelAction cancelAction, QWidget* parent)
    : DialogBaseController(parent), m_dialogTitle(title), m_dialogLabel(label), m_dialogPlaceholder(placeholder),
      m_dialogInitialText(initialText), m_dialogOKAction(std::move(okAction)),
      m_dialogCancelAction(std::move(cancelAction))
{
}

QWidget* DialogInputBaseController::buildForm(const FormMetrics& metrics)
{
    m_contentView = new QWidget(this);
    m_contentView->setObjectName(QStringLiteral("contentView"));
    auto* layout = new QVBoxLayout(m_contentView);
    layout->setContentsMargins(0, metrics.topMargin, 0, 0);
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
        button->setMinimumHeight(metrics.buttonHeight);
    }
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, metrics.buttonsBottomMargin);
    buttons->addWidget(m_cancelButtonView, 1);
    buttons->addWidget(m_okButtonView, 1);
    layout->addLayout(buttons);

    connect(m_okButtonView, &QPushButton::clicked, this, &DialogInputBaseController::okTapped);
    connect(m_cancelButtonView, &QPushButton::clicked, this, &DialogInputBaseController::cancelTapped);
    connect(m_inputField, &QLineEdit::textEdited, this, &DialogInputBaseController::inputTextFieldDidChange);
    // Return confirms as OK would, and only when OK is enabled.
    connect(m_inputField, &QLineEdit::returnPressed, this, [this] {
        if (m_okButtonView->isEnabled())
            okTapped();
    });
    return m_contentView;
}

void DialogInputBaseController::finishSetUp()
{
    loadViewIfNeeded();
    roundCorners();
    // Even with an initial text OK waits for the first edit.
    m_okButtonView->setEnabled(false);
}

void DialogInputBaseController::viewDidLoad()
{
    DialogBaseController::viewDidLoad();
    m_labelView->setText(m_dialogLabel);
    m_inputField->setPlaceholderText(m_dialogPlaceholder);
    m_inputField->setText(m_dialogInitialText);
    applyColors();
    colorsApplied();
}

void DialogInputBaseController::viewDidAppear(bool animated)
{
    DialogBaseController::viewDidAppear(animated);
    if (!m_inputField->isEnabled() || m_inputField->focusPolicy() == Qt::NoFocus)
        return;
    QTimer::singleShot(FocusDelayMs, this, [this] { m_inputField->setFocus(Qt::OtherFocusReason); });
}

void DialogInputBaseController::applyColors()
{
    paintBackground(m_contentView, backgroundColor());
    paintBackground(m_bottomSeparatorView, separatorColor());
}

QString DialogInputBaseController::trimmedText(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlankOrTab(text.at(start)))
        ++start;
    while (end > start && isBlankOrTab(text.at(end - 1)))
        --end;
    return text.mid(start, end - start);
}

bool DialogInputBaseController::acceptsText(const QString& text, const QString& initialText)
{
    const QString trimmed = trimmedText(text);
    if (trimmed.isEmpty())
        return false;
    return initialText.isEmpty() || trimmed != initialText;
}

void DialogInputBaseController::inputTextFieldDidChange()
{
    m_okButtonView->setEnabled(acceptsText(m_inputField->text(), m_dialogInitialText));
}

void DialogInputBaseController::okTapped()
{
    if (m_finished)
        return;
    m_finished = true;
    // Read before closing: the field goes with the dialog.
    const QString text = trimmedText(m_inputField->text());
    const OkAction action = m_dialogOKAction;
    closeDialog();
    if (action)
        action(text);
}

void DialogInputBaseController::cancelTapped()
{
    if (m_finished)
        return;
    m_finished = true;
    const CancelAction action = m_dialogCancelAction;
    closeDialog();
    if (action)
        action();
}
