#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class LXReorderableCollectionViewFlowLayout;

// Paints one project tile: the cover (the project's picture, else the default cover) over a footer strip with
// the title, on a rounded card coloured for the scheme. The dragged item's place is left empty while the
// reorderable layout carries its copy. Tiles are painted, never built as widgets, so a long list stays cheap.
class ProjectCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static inline const QString DarkBackgroundHex = QStringLiteral("#5b5b5d");
    static inline const QString LightBackgroundHex = QStringLiteral("#E7E7E7");
    static constexpr qreal CornerRadius = 8;
    static constexpr int FooterHeight = 48;
    static constexpr int MenuButtonSide = 30;
    static constexpr int MenuButtonMargin = 8;

    // Where a tile shows its gear button: the top right corner of the cover.
    static QRect menuButtonRect(const QRect& tile);

    explicit ProjectCellDelegate(LXReorderableCollectionViewFlowLayout* layout, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The process-wide tile size of the project grid.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintCover(QPainter* painter, const QRectF& area, const QModelIndex& index) const;
    void paintMenuButton(QPainter* painter, const QRect& tile) const;
    void paintTitle(QPainter* painter, const QRectF& area, const QString& title, bool dark) const;

    QPointer<LXReorderableCollectionViewFlowLayout> m_layout;
};
