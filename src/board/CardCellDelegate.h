#pragma once

#include "CardCellBackground.h"
#include "core/CardProps.h"

#include <QCache>
#include <QImage>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

#include "LXReorderableCollectionViewFlowLayout.h"

// Paints one board cell, large or compact, for a card or a folder: type image and colour, title, summary and
// its image, tag symbol, notes and menu buttons, and the footer. Only cells the view paints are drawn, and
// all their texts come from the model's cached roles, so scrolling costs no store reads for settled cells.
class CardCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int ButtonSize = 18;
    static constexpr int ButtonInset = 7;

    enum class Button { None, Menu, Notes };

    explicit CardCellDelegate(QObject* parent = nullptr);

    // The drag layout whose carried item leaves its place empty.
    void setLayout(LXReorderableCollectionViewFlowLayout* layout) { m_layout = layout; }

    bool compactCards() const { return m_compact; }
    void setCompactCards(bool compact) { m_compact = compact; }

    // Where a cell's buttons sit, so the board can tell a click on them from a click on the cell.
    QRect menuButtonRect(const QRect& cell) const;
    QRect notesButtonRect(const QRect& cell) const;
    // Where a card cell's summary (and its picture) and its footer sit.
    QRect summaryRect(const QRect& cell) const;
    QRect footerRect(const QRect& cell) const;
    // The button of the cell at position; None outside them or without a cell.
    Button buttonAt(const QRect& cell, const QPoint& position) const;
    // The button the pointer is over, drawn white in the dark appearance and black in the light one; None for none.
    void setHoveredButton(const QModelIndex& index, Button button);
    QModelIndex hoveredIndex() const { return m_hoveredIndex; }
    Button hoveredButton() const { return m_hoveredButton; }
    // A button's tint while the pointer is over it.
    static QColor hoverTint(bool dark) { return dark ? QColor(Qt::white) : QColor(Qt::black); }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintButtons(QPainter* painter, const QRect& cell, const QModelIndex& index) const;
    void paintFolder(QPainter* painter, const QRect& cell, const QModelIndex& index, bool dark) const;
    void paintCard(QPainter* painter, const QRect& cell, const QModelIndex& index, bool dark) const;
    void paintSummary(QPainter* painter, const QRect& body, const QString& summary) const;
    // A sketch's stored picture as the card shows it: in the dark appearance its near-black strokes turn light,
    // as on the canvas.
    QImage shownPicture(const QImage& stored, bool dark) const;
    // How far below a card cell's top the rule under its heading runs.
    static int ruleTop();
    int titleSize() const { return m_compact ? 14 : 16; }
    int summarySize() const { return m_compact ? 12 : 14; }

    CardProps m_props;
    bool m_compact = false;
    QPointer<LXReorderableCollectionViewFlowLayout> m_layout;
    QPersistentModelIndex m_hoveredIndex;
    Button m_hoveredButton = Button::None;
    // Filled while painting, which Qt declares const.
    mutable CardCellBackground m_background;
    // The dark appearance's pictures, by the stored picture's cache key, so scrolling does not recolour them.
    mutable QCache<qint64, QImage> m_darkPictures{256};
};
