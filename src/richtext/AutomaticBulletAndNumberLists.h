#pragma once

#include "PvTextView.h"

#include <optional>

// Continues bullet, numbered and checkbox lists when Return is pressed at the end of one of their lines, also
// one holding nothing but its marker: a list goes on until the writer takes the marker away. Each rule answers
// whether the caller still has to insert the newline itself.
class AutomaticBulletAndNumberLists {
public:
    static constexpr QChar Bullet = QChar(0x2022);
    static constexpr int MaxDigits = 5;

    static bool autoContinueListsForTextView(PvTextView& view, PvTextView::Range editing);
    static bool autoContinueBulletListForTextView(PvTextView& view, PvTextView::Range editing);
    static bool autoContinueNumberedListForTextView(PvTextView& view, PvTextView::Range editing);

private:
    struct Line {
        int start = 0;
        int markerIndex = 0;
        bool indented = false;
    };
    // The line the caret ends, when the rules may act on it at all.
    static std::optional<Line> listLine(const PvTextView& view, PvTextView::Range editing);
    static bool isCheckbox(const PvTextView& view, int position);
    static void insert(PvTextView& view, int at, const PvTextView::AttributedText& text);
};
