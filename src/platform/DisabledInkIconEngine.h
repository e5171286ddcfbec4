#pragma once

#include <QIcon>
#include <QIconEngine>

// An icon as another draws it, except for a disabled control: then its glyph is drawn in the platform's disabled
// colour, so that the writer sees at a glance that the button cannot be used now. Without it the glyph keeps
// colours the style merely shifts, which on some schemes look the same as the enabled ones.
class DisabledInkIconEngine : public QIconEngine {
public:
    explicit DisabledInkIconEngine(QIcon icon);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString iconName() override;
    QIconEngine* clone() const override;

private:
    QIcon m_icon;
};
