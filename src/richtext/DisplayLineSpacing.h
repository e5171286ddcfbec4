#pragma once

#include <QTextFormat>
#include <QtGlobal>

class QTextDocument;

// The room the editors leave below every line of text. It is part of how the text is shown, never of the text:
// each block keeps what it had of its own (a stored line spacing, or none) beside the room shown, and
// strip() puts that back, so a document written or exported from the view carries exactly what it was read with.
class DisplayLineSpacing {
public:
    // The points below every line in the editors.
    static constexpr qreal EditorSpacing = 8.0;

    // Every block of text not shown with spacing yet is shown with it; what the block had is kept aside.
    static void apply(QTextDocument& text, qreal spacing);
    // Every block shown with spacing gets back what it had before; nothing else changes.
    static void strip(QTextDocument& text);

private:
    // Marks a block that shows the spacing; the two after it hold its own line height and type, or nothing.
    static constexpr int AppliedProperty = QTextFormat::UserProperty + 200;
    static constexpr int OwnHeightProperty = QTextFormat::UserProperty + 201;
    static constexpr int OwnTypeProperty = QTextFormat::UserProperty + 202;
};
