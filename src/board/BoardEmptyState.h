#pragma once

#include "CardBackgroundArt.h"

#include <QObject>
#include <QRect>
#include <QString>

class CardProps;
class EmptyStateButton;
class QAbstractScrollArea;
class QLabel;
class QWidget;

// What an empty board shows behind its grid: the picture of the filtered card type, two thirds of the shorter
// side and a little above the middle, and below it one line, either the offer of a first card ("Click (+) to add
// a new card", all cards with no search) or the word that nothing matches. A filter without a card type (open
// issues, recent changes …) shows the line alone.
class BoardEmptyState : public QObject {
    Q_OBJECT

public:
    static constexpr int PictureRaise = 48;
    static constexpr int LineGap = 24;
    static constexpr int LineHeight = 24;
    static constexpr int FontSize = 17;

    // The pieces are drawn on the grid's viewport and laid out on the grid's frame, which reaches over header, the
    // filter header standing above the grid, while it shows: as the grid's own first row, the header changes
    // neither the picture's size nor its place, nor does the scroll bar. They follow the frame when place() is
    // called.
    BoardEmptyState(QAbstractScrollArea* grid, QWidget* header);

    struct State {
        bool empty = false;
        qint64 filter = 0;
        bool searching = false;
    };
    // Shows or hides the pieces for the board's state, laid out for the area's present size.
    void place(const State& state, const CardProps& props);

    QLabel* picture() const { return m_picture; }
    QLabel* label() const { return m_label; }
    EmptyStateButton* button() const { return m_button; }
    // Where the picture stands in an area of that size.
    static QRect pictureFrame(const QSize& area);
    // The grid's frame, its header included, in its viewport's coordinates.
    QRect gridFrame() const;

signals:
    void newCardRequested();

private:
    void layout();

    QAbstractScrollArea* m_grid;
    QWidget* m_header;
    QLabel* m_picture;
    QLabel* m_label;
    EmptyStateButton* m_button;
    CardBackgroundArt m_art;
    State m_state;
    QString m_backgroundName;
};
