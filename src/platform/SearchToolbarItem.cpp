#include "SearchToolbarItem.h"

#include <QLineEdit>

namespace {
constexpr int FieldWidth = 220;
} // namespace

SearchToolbarItem::SearchToolbarItem(QString itemIdentifier, QObject* parent)
    : ToolbarItem(std::move(itemIdentifier), parent), m_field(new QLineEdit)
{
    m_field->setObjectName(QStringLiteral("searchField"));
    m_field->setPlaceholderText(Placeholder);
    m_field->setClearButtonEnabled(true);
    m_field->setFixedWidth(FieldWidth);
    // Clearing the field is a search too: the board shows everything again.
    connect(m_field, &QLineEdit::textChanged, this, [this] { sendAction(m_window); });
}

SearchToolbarItem::~SearchToolbarItem()
{
    // The field lives in a toolbar only while the item is inserted; otherwise it is ours.
    if (m_field && !m_field->parent())
        delete m_field;
}

QWidget* SearchToolbarItem::view() const
{
    return m_field;
}

QString SearchToolbarItem::stringValue() const
{
    return m_field ? m_field->text() : QString();
}
