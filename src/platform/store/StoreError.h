#pragma once

#include <QString>

// A failure of the object store, carried as a value to the caller that can act on it.
struct StoreError {
    QString message;
    int sqliteCode = 0;

    QString description() const { return message; }
};
