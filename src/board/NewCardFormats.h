#pragma once

#include "export/KUVDocFormat.h"

#include <QList>

class CardProps;

// The card types a writer can create, as tiles of the document-type picker grouped by their card-type
// group (Manuscript, Issue, Supporting), table order kept within a group.
class NewCardFormats {
public:
    static QList<QList<KUVDocFormat>> cardPropsToPickerArray(const CardProps& cardProps);
};
