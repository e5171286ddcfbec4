#include "TextDecoder.h"

#include "platform/archive/AttributedStringArchive.h"
#include "platform/rtf/RtfReader.h"
#include "platform/text/TextAttachment.h"

#include <QStringDecoder>
#include <QTextDocument>
#include <algorithm>
#include <array>

namespace {

const QByteArray RtfSignature = QByteArrayLiteral("{\\rtf");

// Windows-1252 differs from ISO Latin 1 only in 0x80-0x9F; zero marks the bytes it leaves undefined.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x0000, 0x017D, 0x0000, 0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178,
};

bool isWindows1252High(uchar byte)
{
    return byte >= 0x80 && byte <= 0x9F;
}

bool holdsWindows1252High(const QByteArray& bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char byte) { return isWindows1252High(uchar(byte)); });
}

} // namespace

std::optional<QString> TextDecoder::decodeUtf8(const QByteArray& bytes)
{
    if (bytes.contains('\0'))
        return std::nullopt;
    // Stateless: a sequence cut off at the end is an error, not something to wait for. The default flags
    // drop a leading byte-order mark.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QString> TextDecoder::decodeWindows1252(const QByteArray& bytes)
{
    // Our own table: the code page must not depend on whether Qt was built with ICU.
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const uchar value = uchar(byte);
        if (!isWindows1252High(value)) {
            text.append(QChar(value));
            continue;
        }
        const char16_t unit = Windows1252High[value - 0x80];
        if (unit == 0)
            return std::nullopt;
        text.append(QChar(unit));
    }
    return text;
}

std::optional<QString> TextDecoder::safeTextDecode(const QByteArray& bytes)
{
    // A NUL byte means binary data (or UTF-16), which none of these encodings reads as text.
    if (bytes.contains('\0'))
        return std::nullopt;
    if (std::optional<QString> text = decodeUtf8(bytes))
        return text;
    // Latin 1 would turn 0x80-0x9F into invisible control characters; text holding them was written
    // on Windows, where they are curly quotes and dashes.
    if (holdsWindows1252High(bytes)) {
        if (std::optional<QString> text = decodeWindows1252(bytes))
            return text;
    }
    return decodeLatin1(bytes);
}

std::unique_ptr<QTextDocument> TextDecoder::textFromData(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return nullptr;
    if (std::unique_ptr<QTextDocument> document = documentFromKeyedArchive(bytes))
        return document;
    // RTF source is valid UTF-8 too, so RTF bytes never fall through to plain text: shown as plain text
    // and saved again, the writer's formatting would become control words in the body.
    if (bytes.startsWith(RtfSignature))
        return documentFromRtf(bytes);
    return documentFromPlainText(bytes);
}

std::unique_ptr<QTextDocument> TextDecoder::documentFromKeyedArchive(const QByteArray& bytes)
{
    if (!AttributedStringArchive::looksLikeArchive(bytes))
        return nullptr;
    return AttributedStringArchive::decode(bytes, cardBodyClasses());
}

std::unique_ptr<QTextDocument> TextDecoder::documentFromRtf(const QByteArray& bytes)
{
    return RtfReader::read(bytes);
}

QSet<QString> TextDecoder::cardBodyClasses()
{
    // Rich text and the three attachment kinds a card body may hold; the archive reader adds the classes rich
    // text is made of (strings, fonts, colours, paragraph styles, plain attachments and their files).
    return {QStringLiteral("NSAttributedString"), QString::fromLatin1(TextAttachment::ImageClass),
            QString::fromLatin1(TextAttachment::CheckedClass), QString::fromLatin1(TextAttachment::UncheckedClass)};
}

std::unique_ptr<QTextDocument> TextDecoder::documentFromPlainText(const QByteArray& bytes)
{
    const std::optional<QString> text = decodeUtf8(bytes);
    if (!text)
        return nullptr;
    auto document = std::make_unique<QTextDocument>();
    document->setPlainText(*text);
    return document;
}
