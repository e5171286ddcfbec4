#pragma once

#include <QToolButton>

// A tool button whose icon is drawn in its palette's button text colour, as its text is, and dimmed with it when
// disabled: on a coloured bar every glyph takes the bar's tint, whatever colours the icon theme gave it.
class TintedToolButton : public QToolButton {
    Q_OBJECT

public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};
