#pragma once

#include "RtfColorTable.h"
#include "RtfControlWords.h"
#include "RtfDocumentBuilder.h"
#include "RtfFontTable.h"
#include "RtfPicture.h"
#include "RtfState.h"
#include "RtfTextDecoder.h"
#include "RtfToken.h"

#include <QByteArray>
#include <QTextDocument>

#include <memory>
#include <vector>

// Reads RTF into a QTextDocument: fonts, sizes, bold, italic, underline, strike-through, colours, paragraph
// alignment, indents and spacing, Unicode and code-page text, fields (their shown result) and PNG or JPEG
// pictures, which become attachments. Whatever the bytes, it returns: malformed or truncated RTF gives what
// could be read, and depth, picture size and input size are capped.
class RtfReader {
public:
    struct Options {
        // Groups nested deeper than this are skipped whole.
        int maxDepth = 512;
        // A larger picture is dropped.
        qsizetype maxPictureBytes = qsizetype(64) * 1024 * 1024;
        // A larger input is not read at all.
        qsizetype maxInputBytes = qsizetype(256) * 1024 * 1024;
    };

    // Whether the bytes begin as an RTF document does.
    static bool isRtf(QByteArrayView bytes);
    // The document, or null when the bytes are not RTF (or exceed the input cap).
    static std::unique_ptr<QTextDocument> read(const QByteArray& rtf);
    static std::unique_ptr<QTextDocument> read(const QByteArray& rtf, const Options& options);

private:
    explicit RtfReader(const Options& options);

    std::unique_ptr<QTextDocument> parse(QByteArrayView input);
    // False once the document's outermost group has closed.
    bool handleToken(const RtfToken& token);
    bool skipFallback(const RtfToken& token);
    void beginGroup();
    bool endGroup();
    void endDestination(RtfState::Destination inner, RtfState::Destination outer);

    void handleWord(QByteArrayView name, bool hasParameter, int parameter);
    void handleDocumentWord(const RtfControlWord& word, bool hasParameter, int parameter);
    bool handleCharacterWord(RtfWord word, bool hasParameter, int parameter);
    bool handleParagraphWord(RtfWord word, int parameter);
    void handleFontTableWord(RtfWord word, int parameter);
    void handleColorTableWord(RtfWord word, int parameter);
    void handlePictureWord(RtfWord word, int parameter);
    void handleSymbol(char symbol);
    void handleText(QByteArrayView bytes);
    void handleFontTableText(QByteArrayView bytes);
    void handleHexByte(unsigned char byte);
    void handleUnicode(int value);
    void flushHexBytes();
    void emitText(const QString& text);
    void emitCharacter(char16_t character);
    int currentCodePage() const;

    Options m_options;
    RtfState m_state;
    std::vector<RtfState> m_stack;
    // The paragraph properties in force when the document's group closed, which the last paragraph takes.
    RtfState::Paragraph m_lastParagraph;
    int m_overflowDepth = 0;
    int m_fallbackToSkip = 0;
    int m_defaultFont = 0;
    char16_t m_highSurrogate = 0;
    QByteArray m_hexBytes;
    int m_hexCodePage = 0;
    QString m_fieldInstruction;
    RtfTextDecoder m_decoder;
    RtfFontTable m_fonts;
    RtfColorTable m_colors;
    RtfPicture m_picture;
    RtfDocumentBuilder m_builder;
};
