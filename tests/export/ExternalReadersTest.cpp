#include "export/AttributedStringExport.h"
#include "export/ZWDocxWriter.h"

#include "ExternalTools.h"
#include "RequiredTools.h"
#include "SampleDocument.h"
#include "richtext/CheckboxImages.h"

#include <QCryptographicHash>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// One document that exercises every case at once, written as DOCX, RTF and text and read back by programs
// no one here wrote. LibreOffice is slow to start, so it converts all files in two runs for the whole suite.
class ExternalReadersTest : public ::testing::Test {
protected:
    static inline std::unique_ptr<QTemporaryDir> s_dir;
    static inline QString s_expected;
    static inline ExternalTools::Run s_txtRun;
    static inline ExternalTools::Run s_odtRun;

    static const QString& expectedText()
    {
        static const QString text =
            QStringLiteral("Café naïve façade Καλημέρα κόσμε 日本語の文章 😀🎉\n"
                           "Tab\there & there < 5 > 3 {braces} back\\slash \"double\" 'single' bold italic\n"
                           "picture: between end\n"
                           "tasks: done open\n"
                           "badcharskept\n"
                           "first line second line");
        return text;
    }
    // The sample's characters beyond the basic plane, written in RTF as surrogate pairs.
    static QString beyondBasicPlane() { return QStringLiteral(" 😀🎉"); }
    static QString expectedBasicPlaneText() { return QString(expectedText()).remove(beyondBasicPlane()); }

    static std::unique_ptr<QTextDocument> sample(bool withBeyondBasicPlane = true)
    {
        auto document = SampleDocument::empty();
        QTextCursor cursor(document.get());
        const QTextCharFormat plain = SampleDocument::plain();
        cursor.insertText(QStringLiteral("Café naïve façade Καλημέρα κόσμε 日本語の文章") +
                              (withBeyondBasicPlane ? beyondBasicPlane() : QString()),
                          plain);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("Tab\there & there < 5 > 3 {braces} back\\slash \"double\" 'single' "), plain);
        cursor.insertText(QStringLiteral("bold"), SampleDocument::bold());
        cursor.insertText(QStringLiteral(" "), plain);
        cursor.insertText(QStringLiteral("italic"), SampleDocument::italic());
        cursor.insertBlock();
        const QImage shared = SampleDocument::picture(Qt::red);
        cursor.insertText(QStringLiteral("picture: "), plain);
        SampleDocument::insertPicture(cursor, shared);
        cursor.insertText(QStringLiteral(" between "), plain);
        SampleDocument::insertPicture(cursor, shared);
        SampleDocument::insertPicture(cursor, SampleDocument::picture(Qt::blue, 60, 30), QSizeF(60, 30));
        cursor.insertText(QStringLiteral(" end"), plain);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("tasks: "), plain);
        SampleDocument::insertCheckbox(cursor, true);
        cursor.insertText(QStringLiteral(" done "), plain);
        SampleDocument::insertCheckbox(cursor, false);
        cursor.insertText(QStringLiteral(" open"), plain);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("bad") + QChar(0x01) + QStringLiteral("chars") + QChar(0xFFFF) +
                              QStringLiteral("kept"),
                          plain);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("first line") + QChar(0x2028) + QStringLiteral("second line"), plain);
        return document;
    }

    static QString path(const QString& name) { return s_dir->filePath(name); }

    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<QTemporaryDir>();
        auto document = sample();
        AttributedStringExport::exportDataToFile(*document, path(QStringLiteral("word.docx")),
                                                 AttributedStringExport::DOCX);
        AttributedStringExport::exportDataToFile(*document, path(QStringLiteral("rich.rtf")),
                                                 AttributedStringExport::RTF);
        AttributedStringExport::exportDataToFile(*document, path(QStringLiteral("sample.txt")),
                                                 AttributedStringExport::Text);
        AttributedStringExport::exportDataToFile(*sample(false), path(QStringLiteral("basic-plane.rtf")),
                                                 AttributedStringExport::RTF);
    }

    static void TearDownTestSuite() { s_dir.reset(); }

    static QString readText(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    // LibreOffice converts both files to text, then both to its own package: two runs for the whole suite.
    static void convertWithSoffice()
    {
        const QStringList files = {path(QStringLiteral("word.docx")), path(QStringLiteral("rich.rtf"))};
        QDir().mkpath(path(QStringLiteral("txt")));
        QDir().mkpath(path(QStringLiteral("odt")));
        s_txtRun = ExternalTools::sofficeConvert(files, QStringLiteral("txt:Text (encoded):UTF8"),
                                                 path(QStringLiteral("txt")));
        s_odtRun = ExternalTools::sofficeConvert(files, QStringLiteral("odt"), path(QStringLiteral("odt")));
    }

    // The pictures LibreOffice placed in the paragraph that begins with prefix, in their order there, each as the
    // MD5 digest of its file in the package.
    static QStringList odtPicturesIn(const QString& odt, const QString& prefix)
    {
        const auto run = ExternalTools::run(
            QStringLiteral("python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import sys,zipfile,hashlib,xml.etree.ElementTree as E\n"
                            "z=zipfile.ZipFile(sys.argv[1])\n"
                            "T='{urn:oasis:names:tc:opendocument:xmlns:text:1.0}'\n"
                            "D='{urn:oasis:names:tc:opendocument:xmlns:drawing:1.0}'\n"
                            "X='{http://www.w3.org/1999/xlink}href'\n"
                            "for p in E.fromstring(z.read('content.xml')).iter(T+'p'):\n"
                            "  if ''.join(p.itertext()).strip().startswith(sys.argv[2]):\n"
                            "    for i in p.iter(D+'image'): print(hashlib.md5(z.read(i.get(X))).hexdigest())\n"),
             odt, prefix});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QString::fromUtf8(run.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // The MD5 digest of what the writer's PNG encoder makes of image.
    static QString pngDigest(const QImage& image)
    {
        return QString::fromLatin1(
            QCryptographicHash::hash(RtfWriter::pngDataLater(image).result(), QCryptographicHash::Md5).toHex());
    }

    // Counts the pictures LibreOffice placed in its own package.
    static int odtImageCount(const QString& odt)
    {
        const auto run = ExternalTools::run(
            QStringLiteral("python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import sys,zipfile\nprint(zipfile.ZipFile(sys.argv[1]).read('content.xml').decode()"
                            ".count('<draw:image'))"),
             odt});
        return run.exitCode == 0 ? QString::fromUtf8(run.out).trimmed().toInt() : -1;
    }
};

TEST_F(ExternalReadersTest, docxPackageIsASoundZipWithWellFormedParts)
{
    const QString docx = path(QStringLiteral("word.docx"));
    REQUIRE_TOOL("unzip");
    REQUIRE_TOOL("xmllint");
    REQUIRE_TOOL("python3");
    const auto test = ExternalTools::run(QStringLiteral("unzip"), {QStringLiteral("-t"), docx});
    EXPECT_EQ(test.exitCode, 0) << test.out.toStdString();
    const QString parts = path(QStringLiteral("parts"));
    ASSERT_EQ(
        ExternalTools::run(QStringLiteral("unzip"), {QStringLiteral("-q"), docx, QStringLiteral("-d"), parts}).exitCode,
        0);
    const QStringList xmlParts = {ZWDocxWriter::ContentTypesPart, ZWDocxWriter::RelationshipsPart,
                                  ZWDocxWriter::DocumentPart, ZWDocxWriter::DocumentRelationshipsPart};
    for (const QString& part : xmlParts) {
        const auto lint =
            ExternalTools::run(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QDir(parts).filePath(part)});
        EXPECT_EQ(lint.exitCode, 0) << part.toStdString() << ": " << lint.err.toStdString();
    }
    EXPECT_EQ(QDir(QDir(parts).filePath(QStringLiteral("word/media"))).entryList(QDir::Files).size(), 5);
    const auto names = ExternalTools::run(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys,zipfile\nz=zipfile.ZipFile(sys.argv[1])\nassert z.testzip() is None\n"
                        "assert all(i.date_time[0]>=2020 for i in z.infolist())\nprint(len(z.namelist()))"),
         docx});
    EXPECT_EQ(names.exitCode, 0) << names.err.toStdString();
    EXPECT_EQ(names.out.trimmed(), "9");
}

TEST_F(ExternalReadersTest, libreOfficeReadsTheDocxAndTheRtfWordForWordWithTheirPicturesAndTheDocxCheckboxes)
{
    REQUIRE_TOOL("soffice");
    convertWithSoffice();
    ASSERT_TRUE(s_txtRun.finished && s_odtRun.finished) << "soffice did not finish in time";
    EXPECT_EQ(ExternalTools::words(readText(path(QStringLiteral("txt/word.txt")))),
              ExternalTools::words(expectedText()))
        << s_txtRun.err.toStdString();
    EXPECT_EQ(odtImageCount(path(QStringLiteral("odt/word.odt"))), 5);
    // The checkboxes arrive as their own pictures, the ticked box first, then the empty one.
    EXPECT_EQ(odtPicturesIn(path(QStringLiteral("odt/word.odt")), QStringLiteral("tasks:")),
              (QStringList{pngDigest(CheckboxImages::imageNamed(CheckboxImages::CheckedName)),
                           pngDigest(CheckboxImages::imageNamed(CheckboxImages::UncheckedName))}));
    EXPECT_EQ(ExternalTools::words(readText(path(QStringLiteral("txt/rich.txt")))),
              ExternalTools::words(expectedText()));
    EXPECT_EQ(odtImageCount(path(QStringLiteral("odt/rich.odt"))), 3);
}

TEST_F(ExternalReadersTest, pandocReadsTheDocxWordForWord)
{
    REQUIRE_TOOL("pandoc");
    const auto run = ExternalTools::run(QStringLiteral("pandoc"),
                                        {QStringLiteral("-t"), QStringLiteral("plain"), QStringLiteral("--wrap=none"),
                                         path(QStringLiteral("word.docx"))});
    ASSERT_TRUE(run.finished);
    // pandoc shows each picture without a caption as "[]".
    QString text = QString::fromUtf8(run.out);
    EXPECT_EQ(text.count(QStringLiteral("[]")), 5);
    text.remove(QStringLiteral("[]"));
    EXPECT_EQ(ExternalTools::words(text), ExternalTools::words(expectedText())) << run.err.toStdString();
}

TEST_F(ExternalReadersTest, pandocReadsTheRtfWordForWord)
{
    REQUIRE_TOOL("pandoc");
    // pandoc 2.17 reads each half of a surrogate pair, the only way RTF has to write a character beyond the basic
    // plane (\u-10179?\u-8704?), as a character of its own and replaces it; Word and LibreOffice read the pair.
    // pandoc gets the sample without those characters, and everything it reads must be exactly what was written.
    const auto run =
        ExternalTools::run(QStringLiteral("pandoc"),
                           {QStringLiteral("-f"), QStringLiteral("rtf"), QStringLiteral("-t"), QStringLiteral("plain"),
                            QStringLiteral("--wrap=none"), path(QStringLiteral("basic-plane.rtf"))});
    ASSERT_TRUE(run.finished);
    const QString text = QString::fromUtf8(run.out);
    EXPECT_EQ(ExternalTools::words(text), ExternalTools::words(expectedBasicPlaneText())) << run.err.toStdString();
}

TEST_F(ExternalReadersTest, plainTextHasTheWordsAndNoAttachmentCharacters)
{
    const QString text = readText(path(QStringLiteral("sample.txt")));
    EXPECT_FALSE(text.contains(QChar(0xFFFC)));
    EXPECT_EQ(ExternalTools::words(text), ExternalTools::words(expectedText()));
}
