#pragma once

#include <QFont>
#include <QStringList>

// The lines of a card's summary that a cell's summary box shows: only whole lines, as many as the box is high,
// wrapped at word boundaries to its width, the last one ended with "…" when the summary goes on beyond it.
class CardSummaryLines {
public:
    static inline const QString Ellipsis = QStringLiteral("\u2026");

    // The lines to draw, top to bottom, each lineStep(font) below the one before.
    static QStringList visibleLines(const QString& text, const QFont& font, int width, int height);
    // The distance from one line's top to the next one's.
    static int lineStep(const QFont& font);
};
