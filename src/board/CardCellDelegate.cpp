#include "CardCellDelegate.h"

#include "CardGridMetrics.h"
#include "CardListModel.h"
#include "CardSummaryLines.h"
#include "LXReorderableCollectionViewFlowLayout.h"
#include "platform/ColorScheme.h"
#include "platform/SymbolIcons.h"
#include "platform/ink/InkRenderer.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QTextOption>

namespace {

constexpr int Padding = 10;
constexpr int IconSize = 24;
constexpr int FooterSize = 12;

QFont fontOfSize(const QFont& base, int pixelSize, bool bold = false)
{
    QFont font = base;
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// The symbol in one flat colour, as the buttons' tint gives it whatever colours the icon theme drew.
QPixmap tintedSymbol(const QString& symbol, int side, const QColor& color)
{
    static QHash<QString, QPixmap> cache;
    const QString key = symbol + QLatin1Char('/') + QString::number(side) + color.name();
    auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    QPixmap pixmap = SymbolIcons::icon(symbol).pixmap(side, side);
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), color);
    painter.end();
    cache.insert(key, pixmap);
    return pixmap;
}

} // namespace

CardCellDelegate::CardCellDelegate(QObject* parent) : QStyledItemDelegate(parent)
{
}

QSize CardCellDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return CardGridMetrics::cellSize();
}

QRect CardCellDelegate::menuButtonRect(const QRect& cell) const
{
    const int side = ButtonSize + 2 * ButtonInset;
    return {cell.right() - side - 2, cell.top() + 2, side, side};
}

QRect CardCellDelegate::notesButtonRect(const QRect& cell) const
{
    return menuButtonRect(cell).translated(-(ButtonSize + 2 * ButtonInset), 0);
}

CardCellDelegate::Button CardCellDelegate::buttonAt(const QRect& cell, const QPoint& position) const
{
    if (cell.isNull())
        return Button::None;
    if (menuButtonRect(cell).contains(position))
        return Button::Menu;
    if (notesButtonRect(cell).contains(position))
        return Button::Notes;
    return Button::None;
}

void CardCellDelegate::setHoveredButton(const QModelIndex& index, Button button)
{
    m_hoveredButton = index.isValid() ? button : Button::None;
    m_hoveredIndex = m_hoveredButton == Button::None ? QModelIndex() : index;
}

void CardCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // The carried item's place stays empty while its floating copy is dragged.
    if (m_layout && m_layout->isHidden(index))
        return;
    const bool dark = ColorScheme::isDark();
    const bool folder = index.data(CardListModel::IsFolderRole).toBool();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const bool highlighted = m_layout && m_layout->isHighlighted(index);
    // A card's rule under its heading lies on the tile: nothing else in the cell reaches it.
    const int ruleY = ruleTop();
    const QLine rule = folder ? QLine() : QLine(Padding, ruleY, option.rect.width() - 1 - Padding, ruleY);
    m_background.paint(painter, option.rect,
                       {folder, highlighted || (option.state & QStyle::State_Selected), dark, rule});
    painter->setFont(option.font);
    if (folder)
        paintFolder(painter, option.rect, index, dark);
    else
        paintCard(painter, option.rect, index, dark);
    paintButtons(painter, option.rect, index);
    painter->restore();
}

void CardCellDelegate::paintButtons(QPainter* painter, const QRect& cell, const QModelIndex& index) const
{
    // A button takes the hover tint while the pointer is over it and its own tint again once it has left.
    const Button hovered = index == m_hoveredIndex ? m_hoveredButton : Button::None;
    const QColor hover = hoverTint(ColorScheme::isDark());
    const QRect menu = menuButtonRect(cell).adjusted(ButtonInset, ButtonInset, -ButtonInset, -ButtonInset);
    painter->drawPixmap(menu, tintedSymbol(QStringLiteral("gearshape"), ButtonSize,
                                           hovered == Button::Menu ? hover : QColor(Qt::lightGray)));
    const bool notes = index.data(CardListModel::HasNotesRole).toBool();
    const QColor notesTint = notes ? QColor(255, 204, 0) : QColor(Qt::lightGray);
    const QRect notesRect = notesButtonRect(cell).adjusted(ButtonInset, ButtonInset, -ButtonInset, -ButtonInset);
    painter->drawPixmap(notesRect,
                        tintedSymbol(notes ? QStringLiteral("text.bubble.fill") : QStringLiteral("text.bubble"),
                                     ButtonSize, hovered == Button::Notes ? hover : notesTint));
}

void CardCellDelegate::paintFolder(QPainter* painter, const QRect& cell, const QModelIndex& index, bool dark) const
{
    const QString tagSymbol = index.data(CardListModel::TagSymbolRole).toString();
    if (!tagSymbol.isEmpty())
        SymbolIcons::icon(tagSymbol).paint(painter, QRect(cell.left() + Padding, cell.top() + Padding + 6, 20, 20));
    const QColor text = dark ? QColor(Qt::white) : QColor(0x20, 0x20, 0x24);
    const QRect middle = cell.adjusted(Padding, 0, -Padding, 0);
    painter->setPen(text);
    painter->setFont(fontOfSize(painter->font(), titleSize() + 2, true));
    const QFontMetrics titleMetrics(painter->font());
    const QRect titleRect(middle.left(), cell.center().y() - titleMetrics.height(), middle.width(),
                          titleMetrics.height());
    painter->drawText(
        titleRect, Qt::AlignCenter,
        titleMetrics.elidedText(index.data(CardListModel::TitleRole).toString(), Qt::ElideRight, middle.width()));
    painter->setPen(Qt::gray);
    painter->setFont(fontOfSize(painter->font(), summarySize()));
    painter->drawText(
        QRect(middle.left(), cell.center().y() + 2, middle.width(), QFontMetrics(painter->font()).height()),
        Qt::AlignCenter, index.data(CardListModel::FolderSubtitleRole).toString());
}

void CardCellDelegate::paintCard(QPainter* painter, const QRect& cell, const QModelIndex& index, bool dark) const
{
    const CardProp& prop = m_props.propForIntCardType(index.data(CardListModel::ItemTypeRole).toLongLong());
    const QRect typeRect(cell.left() + Padding, cell.top() + Padding, IconSize, IconSize);
    // The type's icon is its own tile: the glyph in the type's text colour on the type's colour.
    prop.cardImage().paint(painter, typeRect.adjusted(-3, -3, 3, 3));
    int titleLeft = typeRect.right() + 8;
    const QString tagSymbol = index.data(CardListModel::TagSymbolRole).toString();
    if (!tagSymbol.isEmpty()) {
        SymbolIcons::icon(tagSymbol).paint(painter, QRect(titleLeft, typeRect.top() + 2, 20, 20));
        titleLeft += 26;
    }
    const int titleRight = notesButtonRect(cell).left();
    painter->setPen(dark ? QColor(Qt::white) : QColor(0x10, 0x10, 0x14));
    painter->setFont(fontOfSize(painter->font(), titleSize(), true));
    const QFontMetrics titleMetrics(painter->font());
    painter->drawText(QRect(titleLeft, typeRect.top(), titleRight - titleLeft, IconSize), Qt::AlignVCenter,
                      titleMetrics.elidedText(index.data(CardListModel::TitleRole).toString(), Qt::ElideRight,
                                              titleRight - titleLeft));

    const QString footer =
        index.data(m_compact ? CardListModel::CompactFooterRole : CardListModel::LargeFooterRole).toString();
    const QRect footerRect = this->footerRect(cell);
    QRect body = summaryRect(cell);
    const QImage image = shownPicture(index.data(CardListModel::SummaryImageRole).value<QImage>(), dark);
    if (!image.isNull()) {
        const int side = std::min(body.height(), body.width() / 3);
        const QSize scaled = image.size().scaled(side, side, Qt::KeepAspectRatio);
        painter->drawImage(QRect(body.right() - scaled.width(), body.top(), scaled.width(), scaled.height()), image);
        body.setRight(body.right() - side - 6);
    }
    painter->setPen(dark ? QColor(0xd0, 0xd0, 0xd4) : QColor(0x40, 0x40, 0x48));
    painter->setFont(fontOfSize(painter->font(), summarySize()));
    paintSummary(painter, body, index.data(CardListModel::SummaryRole).toString());
    painter->setPen(Qt::gray);
    painter->setFont(fontOfSize(painter->font(), FooterSize));
    painter->drawText(footerRect, Qt::AlignVCenter | Qt::AlignLeft, footer);
}

QImage CardCellDelegate::shownPicture(const QImage& stored, bool dark) const
{
    if (!dark || stored.isNull())
        return stored;
    if (const QImage* shown = m_darkPictures.object(stored.cacheKey()))
        return *shown;
    const QImage shown = InkRenderer::displayImage(stored, true);
    m_darkPictures.insert(stored.cacheKey(), new QImage(shown));
    return shown;
}

int CardCellDelegate::ruleTop()
{
    return Padding + IconSize - 1 + Padding;
}

QRect CardCellDelegate::footerRect(const QRect& cell) const
{
    return {cell.left() + Padding, cell.bottom() - Padding - FooterSize - 4, cell.width() - 2 * Padding,
            FooterSize + 4};
}

QRect CardCellDelegate::summaryRect(const QRect& cell) const
{
    const int separatorY = cell.top() + ruleTop();
    return {cell.left() + Padding, separatorY + 6, cell.width() - 2 * Padding,
            footerRect(cell).top() - separatorY - 10};
}

void CardCellDelegate::paintSummary(QPainter* painter, const QRect& body, const QString& summary) const
{
    // Whole lines only: a line the box cannot hold entirely is left out, and the one before it says so.
    const QStringList lines = CardSummaryLines::visibleLines(summary, painter->font(), body.width(), body.height());
    const int step = CardSummaryLines::lineStep(painter->font());
    for (int row = 0; row < lines.size(); ++row)
        painter->drawText(QRect(body.left(), body.top() + row * step, body.width(), step),
                          Qt::AlignTop | Qt::AlignLeft | Qt::TextSingleLine, lines.at(row));
}
