#pragma once

#include <QColor>
#include <QFont>
#include <QTextCharFormat>
#include <functional>
#include <optional>

class QTextDocument;

// Changes made to a document run by run: the font, colour and highlight rules of stored and shown text.
class TextRuns {
public:
    // The size a run without one of its own is shown at: the base size of every editor.
    static constexpr qreal BaseFontSize = 14.0;

    // Changes the formats of every run overlapping from..to (to < 0: the end), paragraph ends included, in one
    // undo step. change answers whether it changed the format; it is asked once per distinct format, so what it
    // makes of a format must depend on that format alone.
    static void apply(QTextDocument& document, const std::function<bool(QTextCharFormat&)>& change, int from = 0,
                      int to = -1);

    // Every run in the base family with its own bold and italic, at its size divided (deScale) or multiplied
    // by zoom.
    static void scaleFonts(QTextDocument& document, double zoom, bool deScale, int from = 0, int to = -1);
    // One run's format as scaleFonts leaves it; base is the default font at BaseFontSize.
    static void scaleFont(QTextCharFormat& format, const QFont& base, double zoom, bool deScale);
    // Every run in the base family with its own bold and italic, at size.
    static void setFontSize(QTextDocument& document, qreal size, int from = 0, int to = -1);
    // Drops every background colour: search highlights never reach a stored document.
    static void removeBackground(QTextDocument& document, int from = 0, int to = -1);
    // The foreground becomes exactly color: removed everywhere, then set everywhere when color is given.
    static void setForeground(QTextDocument& document, const std::optional<QColor>& color);

    // The run's point size; BaseFontSize when the run names none.
    static qreal pointSize(const QTextCharFormat& format);
    // Sets the base family with the run's own bold and italic at size.
    static void setBaseFont(QTextCharFormat& format, qreal size);
};
