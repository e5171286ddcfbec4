#pragma once

#include <QStyledItemDelegate>

// Paints one tile of the document-type picker: the picture above, the title and the whole description below,
// wrapped, on a rounded card whose colour follows the appearance; the selected tile is grey in a black line.
class KUVDocFormatCell : public QStyledItemDelegate {
    Q_OBJECT

public:
    static inline const QString ReuseIdentifier = QStringLiteral("docFormatCellID");
    static inline const QString DarkBackground = QStringLiteral("#515153");
    static inline const QString LightBackground = QStringLiteral("#fbfbfb");
    // Once the appearance has changed while the picker is up, tiles are plain black or white.
    static inline const QString ChangedDarkBackground = QStringLiteral("#000000");
    static inline const QString ChangedLightBackground = QStringLiteral("#FFFFFF");
    // The picture a tile without one of its own shows.
    static inline const QString FallbackSymbol = QStringLiteral("doc");

    // Item data roles the picker's model answers.
    enum Roles { TitleRole = Qt::DisplayRole, DescriptionRole = Qt::UserRole + 1, ImageRole, HeaderRole };
    static constexpr int HeaderFontSize = 12;
    static constexpr int HeaderHeight = 32;

    explicit KUVDocFormatCell(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    void setTileSize(const QSize& size) { m_tileSize = size; }
    void setAppearanceChanged(bool changed) { m_appearanceChanged = changed; }
    // The fill of a tile that is neither selected nor under the pointer.
    QColor tileBackground() const;

private:
    // The card under the tile's picture and text: its fill and edge, or the selected tile's grey and black line.
    void paintTile(QPainter* painter, const QRectF& tile, const QStyleOptionViewItem& option) const;
    void paintHeader(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    QSize m_tileSize{145, 193};
    bool m_appearanceChanged = false;
};
