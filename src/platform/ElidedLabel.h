#pragma once

#include <QLabel>

// A one-line label whose text, when wider than the label, ends in "…" where it is cut, instead of stopping at the
// edge in the middle of a word. text() keeps the whole text.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    // The text as the label shows it at its present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
