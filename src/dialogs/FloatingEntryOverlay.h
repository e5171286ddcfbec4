#pragma once

#include "dialogs/FloatingEntryAttributes.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QVariantAnimation;
class ViewController;

// The layer that covers a window while a floating entry shows: it paints the dimming and the entry's shadow,
// centres the entry and animates it in and out. A press outside the entry asks for dismissal when the
// attributes say so.
class FloatingEntryOverlay : public QWidget {
    Q_OBJECT

public:
    FloatingEntryOverlay(ViewController* entry, const FloatingEntryAttributes& attributes, QWidget* window);
    ~FloatingEntryOverlay() override;

    ViewController* entry() const { return m_entry; }
    const FloatingEntryAttributes& attributes() const { return m_attributes; }
    // Where the entry rests once it has come in.
    QRect restingGeometry() const;
    bool isLeaving() const { return m_leaving; }

    void animateIn();
    // Slides the entry out, then deletes the overlay with it.
    void animateOut();

signals:
    // A press landed outside the entry and the attributes let that close it.
    void outsideDismissRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeEntry(double progress, bool entering);
    QRect offscreenGeometry() const;

    QPointer<ViewController> m_entry;
    FloatingEntryAttributes m_attributes;
    QVariantAnimation* m_animation = nullptr;
    bool m_leaving = false;
    // How much of the dimming shows: it comes in with the entry and goes out with it.
    double m_dimming = 0.0;
};
