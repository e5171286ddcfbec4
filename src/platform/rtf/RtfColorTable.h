#pragma once

#include <QColor>
#include <QList>

// The colours declared by \colortbl, numbered from 0. An entry without components is "automatic" and gives an
// invalid colour, so that text in it keeps the reader's own foreground.
class RtfColorTable {
public:
    void setRed(int value) { m_red = value; }
    void setGreen(int value) { m_green = value; }
    void setBlue(int value) { m_blue = value; }
    void endEntry();
    // Closes an entry whose ";" the writer left out before the end of the table.
    void endPendingEntry();

    QColor color(int index) const;

private:
    int m_red = -1;
    int m_green = -1;
    int m_blue = -1;
    QList<QColor> m_colors;
};
