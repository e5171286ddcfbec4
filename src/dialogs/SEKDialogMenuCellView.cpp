#include "SEKDialogMenuCellView.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {

constexpr int IconSize = 24;
constexpr int FontSize = 15;

} // namespace

SEKDialogMenuCellView::SEKDialogMenuCellView(QWidget* parent)
    : QWidget(parent), m_itemLabelView(new QLabel(this)), m_itemImageView(new QLabel(this))
{
    setObjectName(QStringLiteral("menuItemCell"));
    m_itemLabelView->setObjectName(QStringLiteral("itemLabelView"));
    m_itemLabelView->setTextFormat(Qt::PlainText);
    QFont font = m_itemLabelView->font();
    font.setPixelSize(FontSize);
    m_itemLabelView->setFont(font);
    m_itemImageView->setObjectName(QStringLiteral("itemImageView"));
    m_itemImageView->setFixedSize(IconSize, IconSize);
    m_itemImageView->setAlignment(Qt::AlignCenter);
    m_itemLabelView->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_itemImageView->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 0, 14, 0);
    layout->setSpacing(12);
    layout->addWidget(m_itemImageView);
    layout->addWidget(m_itemLabelView, 1);
}
