#pragma once

#include <QIcon>
#include <QString>

// One tile of the document-type picker: what it shows and the tag its presenter reads back.
struct KUVDocFormat {
    QString formatTitle;
    // The second line under the title; may stay empty.
    QString formatDescription;
    // Free for the presenter: the board puts the card type here.
    qint64 cardTag = 0;
    // The tile's picture; a null icon shows the plain document picture.
    QIcon formatImage;
    // The group label; the first tile of a section names the section.
    QString cardTypeLabel;
};
