#pragma once

#include "platform/SideMenuSettings.h"

#include <QPointer>
#include <QWidget>

// The layer between a side menu and the screen it covers: a tint over that screen and the menu's shadow
// along its edge. A click on it asks for the menu to close.
class SideMenuBackdrop : public QWidget {
    Q_OBJECT

public:
    SideMenuBackdrop(QWidget* menu, QWidget* parent);

    void setStyle(BlurEffectStyle style, double shadowOpacity);
    // How far the menu has come in, 0 to 1; the tint follows it.
    void setProgress(double progress);

    // Width of the shadow cast beside the menu, in points.
    static constexpr int ShadowWidth = 12;

signals:
    void tapped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPointer<QWidget> m_menu;
    BlurEffectStyle m_style = BlurEffectStyle::Light;
    double m_shadowOpacity = 0;
    double m_progress = 0;
};
