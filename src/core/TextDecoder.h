#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <memory>
#include <optional>

class QTextDocument;

// Turns stored bytes into text. Nothing here guesses: bytes that no reader accepts are reported as
// unreadable, so that a later save never stores garbage in place of the writer's text.
class TextDecoder {
public:
    // Strict UTF-8 (a leading byte-order mark dropped), else Windows-1252 when the bytes hold any of
    // 0x80-0x9F and all of them are defined there, else ISO Latin 1. Bytes holding NUL are no text: nullopt.
    static std::optional<QString> safeTextDecode(const QByteArray& bytes);

    // A card body as rich text: a keyed archive of rich text, else RTF when the bytes start with "{\rtf",
    // else plain text when they are valid UTF-8 without NUL. Anything else is unreadable: nullptr.
    static std::unique_ptr<QTextDocument> textFromData(const QByteArray& bytes);

    // Strict UTF-8 without a byte-order mark, or nullopt for invalid sequences and NUL bytes.
    static std::optional<QString> decodeUtf8(const QByteArray& bytes);
    // Windows-1252, or nullopt when a byte is one of the five the code page leaves undefined.
    static std::optional<QString> decodeWindows1252(const QByteArray& bytes);
    static QString decodeLatin1(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

    // The classes a stored card body may name: exactly rich text and our three attachment kinds.
    static QSet<QString> cardBodyClasses();

private:
    // Rich text from a keyed archive allowing only rich text and the document's attachment classes.
    static std::unique_ptr<QTextDocument> documentFromKeyedArchive(const QByteArray& bytes);
    static std::unique_ptr<QTextDocument> documentFromRtf(const QByteArray& bytes);
    static std::unique_ptr<QTextDocument> documentFromPlainText(const QByteArray& bytes);
};
