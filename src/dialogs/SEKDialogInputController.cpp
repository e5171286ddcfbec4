#include "SEKDialogInputController.h"

#include "dialogs/FloatingEntry.h"
#include "dialogs/SEKDialogHeaderView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int FocusDelayMs = 500;

} // namespace

SEKDialogInputController::SEKDialogInputController(const QString& title, const QString& label,
                                                   const QString& placeholder, const QString& initialText,
                                                   DialogInputController::OkAction okAction,
                                                   DialogInputController::CancelAction cancelAction, QWidget* parent)
    : DialogBaseController(parent), m_dialogTitle(title), m_dialogLabel(label), m_dialogPlaceholder(placeholder),
      m_dialogInitialText(initialText), m_dialogOKAction(std::move(okAction)),
      m_dialogCancelAction(std::move(cancelAction))
{
    setObjectName(QStringLiteral("SEKDialogInputController"));
    buildLayout();
    loadViewIfNeeded();
    roundCorners();
    m_okButtonView->setEnabled(false);
}

void SEKDialogInputController::buildLayout()
{
    const SEKDialogHeaderView::Top top = SEKDialogHeaderView::installOn(this, dialogHeaderColor(), false);
    QVBoxLayout* outer = top.layout;
    m_headerView = top.header;
    m_titleView = top.header->titleView();
    m_separatorView = top.separator;

    m_contentView = new QWidget(this);
    m_contentView->setObjectName(QStringLiteral("contentView"));
    outer->addWidget(m_contentView, 1);
    auto* layout = new QVBoxLayout(m_contentView);
    layout->setContentsMargins(0, 12, 0, 0);
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
    m_cancelButtonView = new QPushButton(DialogInputController::CancelTitle, m_contentView);
    m_cancelButtonView->setObjectName(QStringLiteral("cancelButton"));
    m_okButtonView = new QPushButton(DialogInputController::OkTitle, m_contentView);
    m_okButtonView->setObjectName(QStringLiteral("okButton"));
    for (QPushButton* button : {m_cancelButtonView, m_okButtonView}) {
        button->setFlat(true);
        button->setAutoDefault(false);
        button->setMinimumHeight(36);
    }
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 4);
    buttons->addWidget(m_cancelButtonView, 1);
    buttons->addWidget(m_okButtonView, 1);
    layout->addLayout(buttons);

    connect(m_okButtonView, &QPushButton::clicked, this, &SEKDialogInputController::okTapped);
    connect(m_cancelButtonView, &QPushButton::clicked, this, &SEKDialogInputController::cancelTapped);
    connect(m_inputField, &QLineEdit::textEdited, this, &SEKDialogInputController::inputTextFieldDidChange);
    connect(m_inputField, &QLineEdit::returnPressed, this, [this] {
        if (m_okButtonView->isEnabled())
            okTapped();
    });
}

void SEKDialogInputController::viewDidLoad()
{
    DialogBaseController::viewDidLoad();
    m_titleView->setText(m_dialogTitle);
    m_labelView->setText(m_dialogLabel);
    m_inputField->setPlaceholderText(m_dialogPlaceholder);
    m_inputField->setText(m_dialogInitialText);
    applyColors();
    colorsApplied();
}

void SEKDialogInputController::viewDidAppear(bool animated)
{
    DialogBaseController::viewDidAppear(animated);
    if (!m_inputField->isEnabled() || m_inputField->focusPolicy() == Qt::NoFocus)
        return;
    QTimer::singleShot(FocusDelayMs, this, [this] { m_inputField->setFocus(Qt::OtherFocusReason); });
}

void SEKDialogInputController::applyColors()
{
    paintBackground(m_contentView, backgroundColor());
    paintBackground(m_separatorView, separatorColor());
    paintBackground(m_bottomSeparatorView, separatorColor());
}

void SEKDialogInputController::inputTextFieldDidChange()
{
    m_okButtonView->setEnabled(DialogInputController::acceptsText(m_inputField->text(), m_dialogInitialText));
}

void SEKDialogInputController::okTapped()
{
    if (m_finished)
        return;
    m_finished = true;
    const QString text = DialogInputController::trimmedText(m_inputField->text());
    const DialogInputController::OkAction action = m_dialogOKAction;
    FloatingEntry::dismiss(this);
    if (action)
        action(text);
}

void SEKDialogInputController::cancelTapped()
{
    if (m_finished)
        return;
    m_finished = true;
    const DialogInputController::CancelAction action = m_dialogCancelAction;
    FloatingEntry::dismiss(this);
    if (action)
        action();
}
