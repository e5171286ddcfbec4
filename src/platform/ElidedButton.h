#pragma once

#include <QPushButton>

class QStyleOptionButton;

// A push button whose one-line title, when wider than the button, ends in "…" where it is cut, so that its first
// letters always show, instead of being cut at both ends round its middle. It asks for the room its whole title
// takes and makes do with as little as the first letter and the ellipsis; text() keeps the whole title.
class ElidedButton : public QPushButton {
    Q_OBJECT

public:
    explicit ElidedButton(const QString& text, QWidget* parent = nullptr);

    // The title as the button shows it at its present width.
    QString shownText() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The room the style leaves for the title inside the button's frame and margins.
    int titleRoom(const QStyleOptionButton& option) const;
};
