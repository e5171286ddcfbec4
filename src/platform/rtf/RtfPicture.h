#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>

// The contents of one \pict group: its format, its wanted display size and its bytes, which arrive as
// hexadecimal text (wrapped over any number of lines) or as \binN raw data. Bytes beyond the cap are refused
// and the picture as a whole is dropped, so a hostile document cannot make the reader hoard memory.
class RtfPicture {
public:
    enum class Format { Unknown, Png, Jpeg, Unsupported };

    explicit RtfPicture(qsizetype maxBytes = 0) : m_maxBytes(maxBytes) {}

    void setFormat(Format format) { m_format = format; }
    void setGoalWidth(int twips) { m_goalWidth = twips; }
    void setGoalHeight(int twips) { m_goalHeight = twips; }
    void setScaleX(int percent) { m_scaleX = percent; }
    void setScaleY(int percent) { m_scaleY = percent; }
    void appendHex(QByteArrayView text);
    void appendBinary(QByteArrayView data);

    // A PNG or JPEG picture with at least one byte, within the cap.
    bool isUsable() const;
    const QByteArray& bytes() const { return m_bytes; }
    // The uniform type identifier of the bytes ("public.png", "public.jpeg").
    QString fileType() const;
    // The display size in points that the writer asked for; invalid when it asked for none.
    QSizeF displaySize() const;

private:
    bool reserveRoom(qsizetype count);

    qsizetype m_maxBytes = 0;
    Format m_format = Format::Unknown;
    int m_goalWidth = 0;
    int m_goalHeight = 0;
    int m_scaleX = 100;
    int m_scaleY = 100;
    int m_highNibble = -1;
    bool m_overflowed = false;
    QByteArray m_bytes;
};
