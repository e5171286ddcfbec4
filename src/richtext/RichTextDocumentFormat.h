#pragma once

#include <QByteArray>
#include <QColor>
#include <memory>
#include <optional>

class QTextDocument;

// The stored form of every text card body: a keyed archive of the rich text, black on no background, fonts at
// base size. The writer and the readers are what the rich-text view calls to save and show a body.
class RichTextDocumentFormat {
public:
    // How a reader shows what it read.
    struct LoadOptions {
        // Bring every run to the base family at its stored size times the zoom (or at the fixed size).
        bool adjustFonts = true;
        // The zoom factor ("PrefEditorFontSize").
        double fontSize = 1.25;
        // When positive, the size of adjusted text in points whatever the zoom.
        double fixedFontSize = 0.0;
        // The text colour of the current scheme; no colour leaves the text without one.
        std::optional<QColor> fgColor;
        // Checkboxes take the dark images.
        bool darkMode = false;
    };

    enum class LoadStatus {
        Loaded,
        // No bytes: an empty text, and nothing was tried.
        Empty,
        // Bytes that no reader accepts. The caller shows an error and must never save over them.
        Unreadable,
    };

    struct LoadResult {
        LoadStatus status = LoadStatus::Unreadable;
        // The text to show; nullptr only when unreadable.
        std::unique_ptr<QTextDocument> document;
        bool isReadable() const { return status != LoadStatus::Unreadable; }
    };

    // The print reader's zoom and size: stored fonts shown as stored, inserted checkbox lines at 12 points.
    static constexpr double PrintFontSize = 0.78571429;
    static constexpr double PrintFixedFontSize = 12.0;

    // The text as stored bytes, fonts divided by scale when one is given; nullopt when archiving fails.
    static std::optional<QByteArray> getData(const QTextDocument& text, std::optional<double> scale);
    // The copy getData archives: fonts de-scaled, no background colour, black text.
    static std::unique_ptr<QTextDocument> storedCopy(const QTextDocument& text, std::optional<double> scale);

    // A stored body: our archive, else RTF when the bytes start as RTF, else UTF-8 text without NUL.
    static LoadResult loadFrom(const QByteArray& data, const LoadOptions& options);
    static LoadResult loadFrom(const QByteArray& data) { return loadFrom(data, LoadOptions()); }
    // As loadFrom, for printing: fonts as stored, the print zoom and fixed size.
    static LoadResult loadFromDataForPrint(const QByteArray& data, const std::optional<QColor>& fgColor = {});
    // An "application/rtf" body: RTF only.
    static LoadResult loadFromRTFData(const QByteArray& data, const LoadOptions& options);

private:
    static LoadResult emptyText();
    // The reader's steps after decoding: colour, attachments, fonts.
    static LoadResult prepared(std::unique_ptr<QTextDocument> document, const LoadOptions& options);
};
