#pragma once

#include "RtfCodePage.h"

#include <memory>
#include <unordered_map>

// Decodes text bytes under the code page in force, keeping one decoder per code page met in a document.
class RtfTextDecoder {
public:
    void setDocumentCodePage(int number) { m_documentCodePage = number > 0 ? number : RtfCodePage::Windows1252; }

    // Bytes from \'hh escapes, under codePage (0: the document's).
    QString decode(QByteArrayView bytes, int codePage);
    // Literal text: plain ASCII as is; 8-bit bytes as UTF-8 when they form valid UTF-8 (writers that ignore
    // the escape rule mostly write UTF-8), otherwise under the code page.
    QString decodeLiteral(QByteArrayView bytes, int codePage);

    static bool isAscii(QByteArrayView bytes);

private:
    RtfCodePage& page(int number);

    int m_documentCodePage = RtfCodePage::Windows1252;
    std::unordered_map<int, std::unique_ptr<RtfCodePage>> m_pages;
};
