#pragma once

#include "DrawnPixmapCache.h"

#include <QMargins>
#include <QRect>
#include <QWidget>

// The dimmed layer a form sheet lays over the window it was presented from. It covers the whole window, follows
// its size, draws a soft shadow around the place where the sheet sits and takes every click, wheel turn and
// touch aimed at the window, so nothing behind the sheet reacts while the sheet is up.
class FormSheetBackdrop : public QWidget {
    Q_OBJECT

public:
    // Shadow reaches this far beyond the sheet's edge.
    static constexpr int ShadowRadius = 14;

    explicit FormSheetBackdrop(QWidget* window);

    // Where the sheet sits, in global coordinates; the shadow is drawn around it.
    void setSheetRect(const QRect& globalRect);
    // The colour laid over the window, lighter in the light scheme than in the dark one.
    static QColor dimColor(bool dark);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void cover();
    void paintShadow(QPainter& painter, const QRect& sheet, bool dark);
    static QMargins shadowReach();
    static void drawShadow(QPainter& painter, const QRect& sheet, bool dark);

    QRect m_sheetRect;
    // The shadow of the sheet's present size and scheme; a sheet shows one at a time.
    DrawnPixmapCache m_shadow{1};
};
