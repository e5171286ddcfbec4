#pragma once

#include <QByteArrayView>
#include <QString>

// Turns the 8-bit bytes of an RTF stream into text for one Windows code page. Windows-1252 (the default of every
// RTF writer), Latin-1 and UTF-8 are decoded here; other code pages go through the C library's iconv where it
// has them, and fall back to Windows-1252 otherwise so that text is never lost outright.
class RtfCodePage {
public:
    static constexpr int Windows1252 = 1252;
    static constexpr int Utf8 = 65001;
    static constexpr int Latin1 = 28591;

    explicit RtfCodePage(int number);
    ~RtfCodePage();
    RtfCodePage(const RtfCodePage&) = delete;
    RtfCodePage& operator=(const RtfCodePage&) = delete;

    // The code page that a font's \fcharset selects, or 0 when the charset defers to the document's code page.
    static int forCharset(int charset);

    QString decode(QByteArrayView bytes);
    // Whether a character may take more than one byte, so that \'hh escapes must be joined before decoding.
    bool isMultiByte() const { return m_multiByte; }

private:
    enum class Kind { Windows1252, Latin1, Utf8, Iconv };

    bool openIconv(int number);
    QString decodeIconv(QByteArrayView bytes);

    Kind m_kind = Kind::Windows1252;
    bool m_multiByte = false;
    void* m_iconv = nullptr;
};
