#pragma once

#include "RtfState.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>
#include <utility>
#include <vector>

class RtfColorTable;
class RtfFontTable;
class RtfPicture;

// Writes what the parser reads into a QTextDocument. Text is gathered into runs of one format and inserted a run
// at a time, since a cursor insertion per character would make large documents slow.
class RtfDocumentBuilder {
public:
    RtfDocumentBuilder(const RtfFontTable& fonts, const RtfColorTable& colors);

    void setDefaultFont(int number) { m_defaultFont = number; }
    // Appends text in the given format; control characters that carry no meaning in a body are dropped.
    void appendText(QStringView text, const RtfState::Character& character);
    // The same for plain ASCII bytes, without a temporary string.
    void appendAscii(QByteArrayView text, const RtfState::Character& character);
    // Ends the current paragraph, which takes the given paragraph properties.
    void endParagraph(const RtfState::Paragraph& paragraph);
    // Inserts a picture as an attachment on U+FFFC: an image when its bytes decode, otherwise an attachment that
    // only keeps the bytes.
    void appendPicture(const RtfPicture& picture, const RtfState::Character& character);
    // Gives the finished document; the last paragraph takes the given properties.
    std::unique_ptr<QTextDocument> finish(const RtfState::Paragraph& paragraph);

private:
    void flush();
    void switchRun(const RtfState::Character& character);
    const QTextCharFormat& charFormat(const RtfState::Character& character);
    static QTextBlockFormat blockFormat(const RtfState::Paragraph& paragraph);

    const RtfFontTable& m_fonts;
    const RtfColorTable& m_colors;
    int m_defaultFont = 0;
    int m_pictureCount = 0;
    std::unique_ptr<QTextDocument> m_document;
    QTextCursor m_cursor;
    QString m_pending;
    RtfState::Character m_pendingCharacter;
    // The properties the current block was given when it began; most paragraphs end with the same ones.
    RtfState::Paragraph m_blockParagraph;
    // Formats already built: documents switch back and forth between a handful of them, and building a
    // QTextCharFormat (and hashing it into the document) costs more than the lookup.
    std::vector<std::pair<RtfState::Character, QTextCharFormat>> m_formats;
};
