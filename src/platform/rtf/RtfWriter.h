#pragma once

#include <QByteArray>
#include <QColor>
#include <QFuture>
#include <QHash>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>

class QTextCharFormat;
class QTextDocument;
class QTextImageFormat;

// Writes a QTextDocument as RTF: fonts, sizes (half-points, rounded), bold, italic, underline, strike-through,
// colours, paragraph alignment, tabs and line breaks. Every character outside printable ASCII is written as
// \uN with a "?" fallback (beyond the BMP as a surrogate pair), and "\", "{" and "}" are escaped, so any text
// survives any reader. Pictures are written where they stand: embedded as PNG, or for an RTFD package as a
// reference to a file of the package, whose images the result lists.
class RtfWriter {
public:
    enum class Pictures {
        // Left out, as plain RTF writers do with attachments they cannot draw.
        Omitted,
        // PNG bytes in a \pict group.
        Embedded,
        // \NeXTGraphic references to files the caller writes beside the RTF.
        Referenced,
    };

    // The image an image format shows and its size in points; a null image is no picture.
    struct Picture {
        QImage image;
        QSizeF size;
    };
    using PictureLookup = std::function<Picture(const QTextImageFormat&)>;

    struct Result {
        QByteArray rtf;
        // For Pictures::Referenced: file name → image, in text order of the names.
        QStringList pictureNames;
        QHash<QString, QImage> pictures;
    };

    static constexpr double DefaultFontSize = 12.0;

    RtfWriter(Pictures pictures, PictureLookup lookup);

    Result write(const QTextDocument& document);
    // The RTF of a text alone; for tests and callers that have no document.
    static QByteArray escapedText(const QString& text);
    // Half-points of a size in points, rounded to the nearest.
    static int halfPoints(double points);
    // PNG bytes of an image: those it was read from or last stored as, when they are known, else written quickly
    // (the image is compressed again by whoever packs the file).
    static QByteArray pngData(const QImage& image);
    // The same, ready at once when the bytes are known; otherwise encoded on the global thread pool, so that
    // pictures are encoded side by side and while the text is written.
    static QFuture<QByteArray> pngDataLater(const QImage& image);

private:
    void collectTables(const QTextDocument& document);
    void writeHeader(QByteArray& out) const;
    void writeRun(QByteArray& out, const QString& text, const QTextCharFormat& format);
    void writePicture(QByteArray& out, const QTextImageFormat& format);
    void writeFormat(QByteArray& out, const QTextCharFormat& format) const;
    static void appendEscaped(QByteArray& out, QStringView text);
    QString familyOf(const QTextCharFormat& format) const;
    double sizeOf(const QTextCharFormat& format) const;

    Pictures m_pictures;
    PictureLookup m_lookup;
    QString m_defaultFamily;
    double m_defaultSize = DefaultFontSize;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QColor> m_colors;
    QHash<QRgb, int> m_colorIndex;
    Result m_result;
    // The RTF around embedded pictures, and the pictures still to encode, one between each two chunks.
    QList<QByteArray> m_chunks;
    QList<QFuture<QByteArray>> m_pending;
};
