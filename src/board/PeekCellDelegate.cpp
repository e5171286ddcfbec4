#include "PeekCellDelegate.h"

#include "PeekListModel.h"
#include "editors/PeekCellView.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QPainter>

namespace {

constexpr int HeaderPadding = 4;

bool isHeader(const QModelIndex& index)
{
    return index.data(PeekListModel::RowKindRole).toInt() == int(PeekListModel::RowKind::Header);
}

QColor blend(const QColor& from, const QColor& to, double share)
{
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * share),
                            float(from.greenF() + (to.greenF() - from.greenF()) * share),
                            float(from.blueF() + (to.blueF() - from.blueF()) * share));
}

QFont headerFont()
{
    QFont font = QApplication::font();
    font.setBold(true);
    return font;
}

} // namespace

PeekCellDelegate::PeekCellDelegate(PeekListModel* model, Configure configure, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model), m_configure(std::move(configure)), m_cell(new PeekCellView)
{
    // Never shown: it is only rendered into the list's rows.
    m_cell->setAttribute(Qt::WA_TranslucentBackground);
    if (m_configure)
        m_configure(m_cell.get(), nullptr);
}

PeekCellDelegate::~PeekCellDelegate() = default;

int PeekCellDelegate::headerHeight() const
{
    return QFontMetrics(headerFont()).height() + 2 * HeaderPadding;
}

int PeekCellDelegate::cardHeight() const
{
    return m_cell->cellHeight();
}

QSize PeekCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return {option.rect.width(), isHeader(index) ? headerHeight() : cardHeight()};
}

void PeekCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (isHeader(index))
        paintHeader(painter, option, index);
    else
        paintCard(painter, option, index);
}

void PeekCellDelegate::paintHeader(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    painter->save();
    // Drawn from the base and text colours, which every palette sets, light or dark.
    const QColor base = option.palette.color(QPalette::Base);
    const QColor ink = option.palette.color(QPalette::Text);
    painter->fillRect(option.rect, blend(base, ink, 0.06));
    painter->setPen(blend(base, ink, 0.6));
    painter->setFont(headerFont());
    const QRect text = option.rect.adjusted(PeekCellView::Margin, 0, -PeekCellView::Margin, 0);
    const QString path = index.data(Qt::DisplayRole).toString();
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(path, Qt::ElideLeft, text.width()));
    painter->restore();
}

void PeekCellDelegate::paintCard(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    ProjectItem* card = m_model->itemAt(index);
    if (!card)
        return;
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(option.rect, option.palette.color(QPalette::Highlight));
    QPalette palette = option.palette;
    const QColor text = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    palette.setColor(QPalette::WindowText, text);
    m_cell->setPalette(palette);
    // Sized first: the panel fits the summary to the room the row gives it.
    if (m_cell->size() != option.rect.size()) {
        m_cell->resize(option.rect.size());
        m_cell->layout()->activate();
    }
    if (m_configure)
        m_configure(m_cell.get(), card);
    // Row separators run the full width: the cell's separator inset is zero.
    painter->save();
    painter->setPen(blend(palette.color(QPalette::Base), palette.color(QPalette::Text), 0.15));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->restore();
    // Through an image: rendering a widget straight onto a painter that is itself redirected (a view painted
    // inside a grab) loses the redirection's offset.
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QImage image(option.rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    m_cell->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    painter->drawImage(option.rect.topLeft(), image);
}
