#include "Alert.h"

#include "ActivationReturn.h"
#include "ColorScheme.h"
#include "FormSheetDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QList<Alert*>& presentedAlerts()
{
    static QList<Alert*> alerts;
    return alerts;
}

// Made inside the alert: a label without a parent that is shown, even for a moment before it is laid out, is a
// window of its own, which takes the keyboard and leaves the application without a focus window when it goes.
QLabel* makeLabel(const QString& text, const QString& objectName, QWidget* alert)
{
    auto* label = new QLabel(text, alert);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

} // namespace

Alert::Alert(const QString& title, const QString& message, QWidget* parent)
    : Alert(title, message, AlertStyle::Alert, parent)
{
}

Alert::Alert(const QString& title, const QString& message, AlertStyle style, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_title(title), m_message(message), m_style(style),
      m_fieldLayout(new QVBoxLayout),
      m_buttons(style == AlertStyle::ActionSheet ? static_cast<QBoxLayout*>(new QVBoxLayout)
                                                 : static_cast<QBoxLayout*>(new QHBoxLayout))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("alert"));
    setWindowTitle(title);

    auto* layout = new QVBoxLayout(this);
    QLabel* titleLabel = makeLabel(title, QStringLiteral("alertTitle"), this);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    titleLabel->setVisible(!title.isEmpty());
    layout->addWidget(titleLabel);
    QLabel* messageLabel = makeLabel(message, QStringLiteral("alertMessage"), this);
    messageLabel->setVisible(!message.isEmpty());
    layout->addWidget(messageLabel);
    layout->addLayout(m_fieldLayout);
    if (style == AlertStyle::Alert)
        m_buttons->addStretch();
    layout->addLayout(m_buttons);
    setMinimumWidth(270);
    connect(ColorScheme::instance(), &ColorScheme::changed, this, qOverload<>(&QWidget::update));
}

Alert::~Alert()
{
    forget();
}

void Alert::addAction(const QString& title, AlertActionStyle style, std::function<void()> handler)
{
    auto* button = new QPushButton(title, this);
    const int index = int(m_actions.size());
    button->setObjectName(QStringLiteral("alertAction%1").arg(index));
    button->setAutoDefault(false);
    if (style == AlertActionStyle::Destructive) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, QColor(0xff, 0x3b, 0x30));
        button->setPalette(palette);
    }
    // Return presses the first Default button, else the first Cancel button; never a destructive one, so that
    // Return typed into a text field confirms rather than cancels, and never deletes.
    const auto current = std::find_if(m_actions.begin(), m_actions.end(),
                                      [](const Action& action) { return action.button->isDefault(); });
    const bool replacesCancel =
        current != m_actions.end() && current->style == AlertActionStyle::Cancel && style == AlertActionStyle::Default;
    if (replacesCancel)
        current->button->setDefault(false);
    if ((current == m_actions.end() || replacesCancel) && style != AlertActionStyle::Destructive)
        button->setDefault(true);
    connect(button, &QPushButton::clicked, this, [this, index] { trigger(index); });
    m_buttons->insertWidget(buttonPosition(style), button);
    m_actions.append({title, style, std::move(handler), button});
}

int Alert::buttonPosition(AlertActionStyle style) const
{
    // A sheet keeps its cancel buttons at the bottom, whatever order they were added in.
    if (m_style == AlertStyle::ActionSheet && style != AlertActionStyle::Cancel) {
        for (const Action& action : m_actions) {
            if (action.style == AlertActionStyle::Cancel)
                return m_buttons->indexOf(action.button);
        }
    }
    return m_buttons->count();
}

void Alert::addTextField(std::function<void(QLineEdit*)> configure)
{
    if (m_style == AlertStyle::ActionSheet) {
        qWarning("Alert: an action sheet takes no text fields");
        return;
    }
    auto* field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("alertTextField%1").arg(m_fields.size()));
    m_fieldLayout->addWidget(field);
    m_fields.append(field);
    if (configure)
        configure(field);
}

void Alert::present(QWidget* parent)
{
    if (parent) {
        setParent(parent->window(), windowFlags() | Qt::Dialog);
        setWindowModality(Qt::WindowModal);
    }
    if (!presentedAlerts().contains(this))
        presentedAlerts().append(this);
    show();
    raise();
    if (!m_fields.isEmpty())
        m_fields.first()->setFocus();
}

QStringList Alert::actionTitles() const
{
    QStringList titles;
    for (const Action& action : m_actions)
        titles.append(action.title);
    return titles;
}

AlertActionStyle Alert::actionStyle(int index) const
{
    return index >= 0 && index < m_actions.size() ? m_actions[index].style : AlertActionStyle::Default;
}

void Alert::trigger(int index)
{
    if (m_handled || index < 0 || index >= m_actions.size())
        return;
    // The handler may present another alert or touch the store; it runs after this one has left the
    // screen and must outlive the deferred deletion, so it is taken out first.
    m_handled = true;
    std::function<void()> handler = m_actions[index].handler;
    forget();
    done(index);
    if (handler)
        handler();
}

void Alert::reject()
{
    for (int i = 0; i < m_actions.size(); ++i) {
        if (m_actions[i].style == AlertActionStyle::Cancel) {
            trigger(i);
            return;
        }
    }
    // A lone button only acknowledges the message, so Escape may press it.
    if (m_actions.size() == 1) {
        trigger(0);
    } else if (m_actions.isEmpty()) {
        forget();
        QDialog::reject();
    }
}

void Alert::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(FormSheetDialog::borderColor(ColorScheme::isDark()), FormSheetDialog::BorderWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void Alert::setVisible(bool visible)
{
    if (!visible)
        ActivationReturn::beforeClosing(this);
    QDialog::setVisible(visible);
}

QList<Alert*> Alert::presented()
{
    return presentedAlerts();
}

Alert* Alert::topmost()
{
    return presentedAlerts().isEmpty() ? nullptr : presentedAlerts().last();
}

void Alert::forget()
{
    presentedAlerts().removeAll(this);
}
