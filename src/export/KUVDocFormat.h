#pragma once

#include <QImage>
#include <QString>

// One tile of the document-type picker.
struct KUVDocFormat {
    QString formatTitle;
    // A second line under the title; may be empty.
    QString formatDescription;
    // Free for the presenter: the board puts a card type here.
    qint64 cardTag = 0;
    // The tile picture; a null image shows the drawn page.
    QImage formatImage;
    // The group label; the first tile of a section gives the section header.
    QString cardTypeLabel;
};
