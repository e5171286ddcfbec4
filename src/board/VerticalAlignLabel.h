#pragma once

#include <QLabel>

// A label that sets its text against the top of its area instead of centring it vertically; in a
// right-to-left layout the text keeps to the right edge.
class VerticalAlignLabel : public QLabel {
    Q_OBJECT

public:
    explicit VerticalAlignLabel(QWidget* parent = nullptr);
    explicit VerticalAlignLabel(const QString& text, QWidget* parent = nullptr);

    // Where the text is drawn inside bounds.
    QRect textRectForBounds(const QRect& bounds) const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
