#include "PeekCellView.h"

#include "platform/ElidedLabel.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

PeekCellView::PeekCellView(QWidget* parent)
    : QWidget(parent), m_cardTypeView(new QLabel(this)), m_cardTitleView(new ElidedLabel(this)),
      m_cardSummaryView(new QLabel(this))
{
    setObjectName(ReuseIdentifier);
    m_cardTypeView->setObjectName(QStringLiteral("cardTypeView"));
    m_cardTitleView->setObjectName(QStringLiteral("cardTitleView"));
    m_cardSummaryView->setObjectName(QStringLiteral("cardSummaryView"));
    m_cardTypeView->setFixedSize(ImageSize, ImageSize);
    m_cardTitleView->setTextFormat(Qt::PlainText);
    m_cardSummaryView->setTextFormat(Qt::PlainText);
    m_cardSummaryView->setWordWrap(true);
    m_cardSummaryView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_cardSummaryView->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_cardTitleView->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(2);
    texts->addWidget(m_cardTitleView);
    texts->addWidget(m_cardSummaryView, 1);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(Margin, Margin, Margin, Margin);
    row->setSpacing(Margin);
    row->addWidget(m_cardTypeView, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
}

int PeekCellView::cellHeight() const
{
    const QFontMetrics title(m_cardTitleView->font());
    const QFontMetrics summary(m_cardSummaryView->font());
    return 2 * Margin + title.height() + 2 + SummaryLines * summary.lineSpacing();
}
