#pragma once

#include "platform/ink/InkDrawing.h"
#include "platform/ink/InkFormat.h"

#include <QByteArray>
#include <QImage>
#include <optional>

class ManagedObjectContext;
class ProjectItem;
class ProjectItemDocument;

// The body of a sketch card: one ProjectItemDocument per card holding the drawing in the stored ink format, and
// the summary image that goes on the card. Bytes that are not a readable drawing stay an error all the way to
// the editor, which shows it; they are never loaded as an empty drawing, and a save never writes over them.
// The one exception is a rich-text body without any text, as an outline import once gave sketch cards that
// came without drawing data: nothing in it can be lost, so it opens as an empty drawing a save replaces.
class SketchDrawingDocument {
public:
    static constexpr qreal SummaryImageScale = 0.25;
    static constexpr qreal ExportImageScale = 3.0;
    // A summary is a thumbnail on the board; a drawing that would exceed this is summarised at a lower scale.
    static constexpr qint64 SummaryMaxPixels = qint64(2048) * 2048;
    static constexpr qint64 ExportMaxPixels = qint64(4096) * 4096;

    enum class LoadStatus {
        Loaded,
        // No card, no document, no bytes or a rich-text body without text: a new, empty drawing.
        Empty,
        // Bytes that are not a drawing, or a damaged one. error() says why.
        Unreadable,
    };

    enum class SaveResult {
        Saved,
        // There is no card to save into; nothing was written.
        NoItem,
        // The stored bytes could not be read when the card was opened; they are kept, nothing was written.
        KeptUnreadable,
        // The drawing exceeds what the format holds; nothing was written.
        TooLarge,
    };

    // The drawing of a card: its document record, else the bytes in the card's own older "content" field.
    static SketchDrawingDocument fromCard(ManagedObjectContext* context, ProjectItem* item);
    // A drawing carried elsewhere as the same bytes (a crash-recovery snapshot's "content").
    static SketchDrawingDocument fromData(const QByteArray& content);

    LoadStatus status() const { return m_status; }
    bool isReadable() const { return m_status != LoadStatus::Unreadable; }
    InkDecodeError error() const { return m_error; }
    const InkDrawing& drawing() const { return m_drawing; }
    InkDrawing takeDrawing() { return std::move(m_drawing); }
    // The card's document record, when it has one (or once save() made it).
    ProjectItemDocument* record() const { return m_record; }

    // Writes the drawing and what the card shows of it: the document record (made when the card has none,
    // otherwise only its content and mime type replaced), and on the card an empty summary, the summary image,
    // no words or characters, the sketch format and the card folder type. Nothing is saved to the store here.
    SaveResult save(ManagedObjectContext* context, ProjectItem* item, const InkDrawing& drawing);

    // The stored bytes of a drawing; nullopt when it exceeds the format's limits.
    static std::optional<QByteArray> data(const InkDrawing& drawing);
    // The drawing's bounds at scale 0.25, capped; a null image for an empty drawing.
    static QImage summaryImage(const InkDrawing& drawing);
    // summaryImage() as PNG; a null array when there is no image or it cannot be encoded.
    static QByteArray summaryImageData(const InkDrawing& drawing);
    // The drawing's bounds at scale 3.0, capped, for the Export command; a null image for an empty drawing.
    static QImage exportImage(const InkDrawing& drawing);
    static QByteArray exportImageData(const InkDrawing& drawing);

private:
    void read(const QByteArray& content);
    // A stored rich-text body holding nothing but blanks.
    static bool isBlankRichText(const QByteArray& content);
    // The whole of the drawing's bounds at a scale, in the light scheme's colours, within a pixel cap.
    static QImage boundsImage(const InkDrawing& drawing, qreal scale, qint64 maxPixels);
    static QByteArray pngData(const QImage& image);

    LoadStatus m_status = LoadStatus::Empty;
    InkDecodeError m_error = InkDecodeError::None;
    InkDrawing m_drawing;
    ProjectItemDocument* m_record = nullptr;
};
