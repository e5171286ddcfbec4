#pragma once

#include "PvTextView.h"

#include <optional>

// Continues bullet, numbered and checkbox lists when Return is pressed at the end of one of their lines, and
// ends a list when Return is pressed on a line holding nothing but its marker. Each rule answers whether the
// caller still has to insert the newline itself.
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
        int caret = 0;
    };
    // The line the caret ends, when the rules may act on it at all.
    static std::optional<Line> listLine(const PvTextView& view, PvTextView::Range editing);
    static bool isCheckbox(const PvTextView& view, int position);
    // A line of nothing but its marker ends the list: the marker goes, no new line comes.
    static bool endList(PvTextView& view, const Line& line, int markerEnd);
    static void insert(PvTextView& view, int at, const PvTextView::AttributedText& text);
};
