#include "DialogMenuCellView.h"

#include <QHBoxLayout>
#include <QLabel>

DialogMenuCellView::DialogMenuCellView(QWidget* parent)
    : QWidget(parent), m_itemLabelView(new QLabel(this)), m_itemImageView(new QLabel(this))
{
    setObjectName(QStringLiteral("menuItemCell"));
    m_itemLabelView->setObjectName(QStringLiteral("itemLabelView"));
    m_itemLabelView->setTextFormat(Qt::PlainText);
    m_itemImageView->setObjectName(QStringLiteral("itemImageView"));
    m_itemImageView->setAlignment(Qt::AlignCenter);
    // The row reacts to the click, not its parts.
    m_itemLabelView->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_itemImageView->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 0, 12, 0);
    layout->setSpacing(10);
    layout->addWidget(m_itemImageView);
    layout->addWidget(m_itemLabelView, 1);
}
