#include "core/Helpers.h"
#include "core/TextDecoder.h"
#include "platform/archive/AttributedStringArchive.h"

#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

std::optional<QString> decode(const char* bytes, qsizetype size = -1)
{
    return Helpers::safeTextDecode(size < 0 ? QByteArray(bytes) : QByteArray(bytes, size));
}

} // namespace

TEST(TextDecodeTest, utf8IsTriedFirstAndItsByteOrderMarkDropped)
{
    EXPECT_EQ(decode("caf\xC3\xA9"), QStringLiteral("café"));
    EXPECT_EQ(decode("\xEF\xBB\xBF"
                     "caf\xC3\xA9"),
              QStringLiteral("café"));
    EXPECT_EQ(decode(""), QString());
}

TEST(TextDecodeTest, windowsQuotesAreNotReadAsControlCharacters)
{
    EXPECT_EQ(decode("\x93quoted\x94 \x96 it\x92s \x80"), QStringLiteral("“quoted” – it’s €"));
}

TEST(TextDecodeTest, otherInvalidUtf8ReadsAsLatin1)
{
    EXPECT_EQ(decode("caf\xE9"), QStringLiteral("café"));
    // A sequence cut off at the end, an overlong form and an encoded surrogate are not UTF-8.
    EXPECT_EQ(decode("abc\xC3"), QStringLiteral("abc\u00C3"));
    EXPECT_EQ(decode("\xC0\xAF"), QStringLiteral("\u00C0\u00AF"));
    EXPECT_EQ(decode("\xED\xA0\x80"), QStringLiteral("\u00ED\u00A0€"));
    // 0x81 is undefined in Windows-1252, so the whole text falls back to Latin 1.
    EXPECT_EQ(decode("\x81\x93"), QStringLiteral("\u0081\u0093"));
}

TEST(TextDecodeTest, bytesHoldingNulAreNoText)
{
    EXPECT_EQ(decode("ab\0cd", 5), std::nullopt);
    EXPECT_EQ(decode("\xFF\xFEh\0i\0", 6), std::nullopt);
    EXPECT_EQ(decode("\x93\0", 2), std::nullopt);
}

TEST(TextDecodeTest, textFromDataReadsPlainUtf8)
{
    const std::unique_ptr<QTextDocument> document =
        Helpers::textFromData(QByteArray("\xEF\xBB\xBF"
                                         "First line\nSecond \xE2\x80\x94 line"));
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->toPlainText(), QStringLiteral("First line\nSecond — line"));
}

TEST(TextDecodeTest, textFromDataReportsUnreadableBytesInsteadOfGarbage)
{
    EXPECT_EQ(Helpers::textFromData(QByteArray()), nullptr);
    EXPECT_EQ(Helpers::textFromData(QByteArray("caf\xE9")), nullptr);
    EXPECT_EQ(Helpers::textFromData(QByteArray("text\0more", 9)), nullptr);
}

TEST(TextDecodeTest, textFromDataNeverShowsRtfOrArchiveSourceAsText)
{
    // Shown as plain text and saved again, these would replace the writer's body with its encoding.
    const QByteArray rtf("{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0 Hello \\b bold\\b0}");
    const std::unique_ptr<QTextDocument> fromRtf = Helpers::textFromData(rtf);
    ASSERT_NE(fromRtf, nullptr) << "RTF is read as RTF";
    EXPECT_EQ(fromRtf->toPlainText().trimmed(), QStringLiteral("Hello bold"));

    // A whole archive is read as the rich text it holds.
    QTextDocument stored;
    stored.setPlainText(QStringLiteral("Archived words"));
    const std::unique_ptr<QTextDocument> fromArchive = Helpers::textFromData(AttributedStringArchive::encode(stored));
    ASSERT_NE(fromArchive, nullptr) << "an archive is read as an archive";
    EXPECT_EQ(fromArchive->toPlainText(), QStringLiteral("Archived words"));

    // A damaged archive is unreadable, never its own bytes shown as words.
    const QByteArray archive = QByteArrayLiteral("bplist00\xD4\x01\x02\x03\x04\x05\x06\x00\x00");
    EXPECT_EQ(Helpers::textFromData(archive), nullptr);
}

TEST(TextDecodeTest, windows1252LeavesItsFiveUndefinedBytesUndecoded)
{
    for (const char byte : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'})
        EXPECT_EQ(TextDecoder::decodeWindows1252(QByteArray(1, byte)), std::nullopt);
    EXPECT_EQ(TextDecoder::decodeWindows1252(QByteArray("\x8A\x9F\xA0")), QStringLiteral("Š\u0178\u00A0"));
}
