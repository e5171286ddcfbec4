#include "SearchItem.h"

#include <QCoreApplication>
#include <QMetaMethod>

namespace Deskbridge {

namespace {
constexpr int FieldWidth = 220;
} // namespace

SearchItem::SearchItem(QString itemIdentifier, QObject* target, QByteArray action, QObject* parent)
    : QObject(parent), m_itemIdentifier(std::move(itemIdentifier)), m_target(target), m_action(std::move(action)),
      m_field(new QLineEdit)
{
    setObjectName(m_itemIdentifier);
    m_field->setObjectName(QStringLiteral("searchField"));
    m_field->setPlaceholderText(QCoreApplication::translate("Deskbridge", Placeholder));
    m_field->setClearButtonEnabled(true);
    m_field->setFixedWidth(FieldWidth);
    // An emptied field is a search too: the board shows every card again.
    connect(m_field, &QLineEdit::textChanged, this, &SearchItem::sendAction);
}

SearchItem::~SearchItem()
{
    // While the field sits in a toolbar the toolbar owns it; otherwise it is ours.
    if (m_field && !m_field->parent())
        delete m_field;
}

QString SearchItem::stringValue() const
{
    return m_field ? m_field->text() : QString();
}

void SearchItem::sendAction()
{
    if (!m_target || m_action.isEmpty())
        return;
    const QByteArray signature = QMetaObject::normalizedSignature(m_action + "(QObject*)");
    if (m_target->metaObject()->indexOfMethod(signature.constData()) < 0)
        return;
    QMetaObject::invokeMethod(m_target, m_action.constData(), Qt::DirectConnection, Q_ARG(QObject*, this));
}

} // namespace Deskbridge
