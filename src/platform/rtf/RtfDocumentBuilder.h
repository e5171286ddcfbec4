#pragma once

#include "RtfState.h"

#include <QHash>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>

#include <memory>
#include <vector>

class QTextCursor;
class RtfColorTable;
class RtfFontTable;
class RtfPicture;

// Writes what the parser reads into a QTextDocument. The body is gathered first: its whole text, where each run of
// one format begins, and the paragraph properties of each block. At the end the text goes into the document in a
// single insertion in the format most runs share, and only the runs and blocks that differ are restyled.
// Filling the document run by run makes its text and its piece table grow in turns, each reallocated again and
// again into fresh memory; on a large document that churn cost more than the parsing itself.
class RtfDocumentBuilder {
public:
    RtfDocumentBuilder(const RtfFontTable& fonts, const RtfColorTable& colors);

    void setDefaultFont(int number) { m_defaultFont = number; }
    // Makes room for the text of an input of this many bytes, which holds at most one character per byte.
    void reserve(qsizetype inputBytes);
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
    // A stretch of the text in one format; it lasts until the next run starts.
    struct Run {
        int start = 0;
        int format = 0; // index into m_formats
    };
    struct Format {
        QTextCharFormat format;
        int runs = 0;
    };

    void useTextCharacter(const RtfState::Character& character);
    void beginRun(int format, qsizetype start);
    void noteSeparators(qsizetype from);
    int formatFor(const RtfState::Character& character);
    QTextCharFormat pictureFormat(const RtfPicture& picture, const RtfState::Character& character);
    QTextCharFormat makeCharFormat(const RtfState::Character& character) const;
    int mostUsedFormat() const;
    RtfState::Paragraph mostCommonParagraph() const;
    void applyRunFormats(QTextCursor& cursor, int base, int length) const;
    void applyBlockFormats(QTextCursor& cursor, const RtfState::Paragraph& common) const;
    static QTextBlockFormat blockFormat(const RtfState::Paragraph& paragraph);

    const RtfFontTable& m_fonts;
    const RtfColorTable& m_colors;
    int m_defaultFont = 0;
    int m_pictureCount = 0;
    std::unique_ptr<QTextDocument> m_document;
    QString m_text;
    std::vector<Run> m_runs;
    std::vector<Format> m_formats;
    // The format built for each set of character properties, so that a document switching back and forth between
    // a handful of them builds each once and a hostile one holds no more formats than it has distinct properties.
    QHash<RtfState::Character, int> m_formatIndex;
    // The character properties of the latest text, which a paragraph mark takes too, and their format (-1: none
    // built yet).
    RtfState::Character m_textCharacter;
    int m_textFormat = -1;
    // The paragraph properties of each block so far, in order.
    std::vector<RtfState::Paragraph> m_blocks;
    // The properties the current block began with, which a block that the text itself breaks keeps.
    RtfState::Paragraph m_blockParagraph;
};
