#pragma once

#include <QWidget>

// The background of a selected cell: a grey rectangle under a black frame line.
class CustomCellBackground : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal LineWidth = 5.0;
    static constexpr qreal FillGrey = 0.6;

    explicit CustomCellBackground(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
