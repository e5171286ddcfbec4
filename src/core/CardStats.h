#pragma once

#include <QtGlobal>

// Statistics of a folder subtree; words and characters count Story cards only.
struct CardStats {
    qint64 totalCardCount = 0;
    qint64 manuscriptCardCount = 0;
    qint64 wordCount = 0;
    qint64 charCount = 0;

    CardStats& operator+=(const CardStats& other)
    {
        totalCardCount += other.totalCardCount;
        manuscriptCardCount += other.manuscriptCardCount;
        wordCount += other.wordCount;
        charCount += other.charCount;
        return *this;
    }

    friend bool operator==(const CardStats&, const CardStats&) = default;
};
