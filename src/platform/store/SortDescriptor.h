#pragma once

#include <QString>

// One sort key of a fetch: an attribute and its direction.
struct SortDescriptor {
    QString key;
    bool ascending = true;
};
