#pragma once

#include <QString>

// Random identifiers in the one textual form every stored record and file name uses.
class Uuid {
public:
    // A fresh random UUID, upper case, hyphenated, 36 characters, no braces.
    static QString uuidString();
};
