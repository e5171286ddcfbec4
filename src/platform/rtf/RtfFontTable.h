#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

class RtfTextDecoder;

// The fonts declared by \fonttbl: family names by number, and the code page each font's \fcharset selects.
// Entries end at ";" or at the end of their group; both spellings (one group per font, or none) occur.
class RtfFontTable {
public:
    void beginEntry(int number);
    void setCharset(int charset);
    void setCodePage(int codePage);
    void appendName(QByteArrayView bytes);
    // Closes the entry being read, decoding its name under its own code page.
    void endEntry(RtfTextDecoder& decoder);

    QString family(int number) const;
    // 0 when the font defers to the document's code page or is unknown.
    int codePage(int number) const;

private:
    struct Font {
        QString family;
        int codePage = 0;
    };

    int m_number = -1;
    int m_codePage = 0;
    QByteArray m_name;
    QHash<int, Font> m_fonts;
};
