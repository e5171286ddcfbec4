#pragma once

#include <QString>
#include <functional>
#include <optional>

class BarButtonItem;
class PvTextView;
class QTextDocument;

// What the editors' "Print" row does: the editor's current text (unsaved changes included) at print size
// (14-point base text prints at 11 points), without highlights, in black, on pages with 72-point margins,
// through the print dialog over the overflow button.
class CardPrinting {
public:
    static constexpr double PrintScale = 0.78571427;

    // The text as it is printed: what view holds, stored and read back at print size.
    static std::unique_ptr<QTextDocument> printText(const PvTextView& view);
    // Shows the progress indicator, then the print dialog; completion gets whether the job completed.
    static void printCard(PvTextView* view, const QString& fullTitle, BarButtonItem* overflowButton,
                          std::function<void(bool completed)> completion = {});
};
