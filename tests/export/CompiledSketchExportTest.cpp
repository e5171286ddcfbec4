// A sketch Story card in the compiled manuscript, as the writer sees it on screen and in every document written
// from it, read back by programs no one here wrote.
#include "export/CompiledViewController.h"

#include "ExternalTools.h"
#include "SampleDocument.h"
#include "SampleSketch.h"
#include "TestWait.h"
#include "core/DbHelpersFixture.h"
#include "export/SSZipArchive.h"
#include "platform/Delays.h"
#include "platform/DocumentPicker.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "richtext/PvTextView.h"
#include "richtext/QJTextAttachment.h"
#include "richtext/RichTextDocumentFormat.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>

namespace {

const QStringList Extensions = {QStringLiteral("docx"), QStringLiteral("rtf"), QStringLiteral("rtfd"),
                                QStringLiteral("txt")};

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray documentXmlOf(const QString& docx)
{
    QTemporaryDir out;
    if (!SSZipArchive::unzipFileAtPath(docx, out.path()))
        return {};
    return contentsOf(QDir(out.path()).filePath(QStringLiteral("word/document.xml")));
}

// Counts the pictures LibreOffice placed in its own package.
int odtImageCount(const QString& odt)
{
    const auto run = ExternalTools::run(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys,zipfile\nprint(zipfile.ZipFile(sys.argv[1]).read('content.xml').decode()"
                        ".count('<draw:image'))"),
         odt});
    return run.exitCode == 0 ? QString::fromUtf8(run.out).trimmed().toInt() : -1;
}

} // namespace

class CompiledSketchExportTest : public DbHelpersFixture {
protected:
    void SetUp() override
    {
        Delays::setFactor(0);
        m_projectId = addProject(QStringLiteral("Novel"))->uniqueIdentifier();
        for (int order : {1, 3}) {
            auto body = SampleDocument::empty();
            QTextCursor cursor(body.get());
            cursor.insertText(QStringLiteral("Scene %1 by the harbour.").arg(order), SampleDocument::plain());
            if (order == 1) {
                cursor.insertBlock();
                SampleDocument::insertPicture(cursor, SampleDocument::picture(Qt::blue, 120, 60));
            }
            ProjectItem* card = addItem(m_projectId, ItemIds::Top, ProjectItemTypes::Story,
                                        QStringLiteral("Scene %1").arg(order), order);
            addDocument(card)->setContent(*RichTextDocumentFormat::getData(*body, std::nullopt));
        }
        save();
    }

    void TearDown() override
    {
        DocumentPicker::setChooser({});
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    void addSketchCard()
    {
        ProjectItem* sketch = addItem(m_projectId, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("The map"), 2);
        sketch->setItemFormat(ProjectItemFormats::Sketch);
        ProjectItemDocument* document = addDocument(sketch);
        document->setMimetype(DocumentMimeTypes::Drawing);
        document->setContent(SampleSketch::bytes());
        save();
    }

    // Opens the compiled manuscript, checks what it shows through shown, and exports it in every type into
    // folder as "<name>.<extension>".
    void writeEveryType(const QString& folder, const QString& name,
                        const std::function<void(CompiledViewController&)>& shown = {})
    {
        auto* controller = new CompiledViewController;
        controller->managedObjectContext = context();
        controller->projectId = m_projectId;
        controller->folderId = ItemIds::Top;
        controller->folderTitle = QStringLiteral("Harbour");
        NavigationController navigation(controller);
        navigation.resize(1200, 800);
        navigation.show();
        ViewController::transitionAppearance(&navigation, true, false);
        ASSERT_TRUE(waitFor(
            [controller] { return !ProgressHud::isActive() && !controller->compiledView()->document()->isEmpty(); }));
        if (shown)
            shown(*controller);
        for (int row = 0; row < Extensions.size(); ++row) {
            const QString destination = QDir(folder).filePath(name + QLatin1Char('.') + Extensions.at(row));
            DocumentPicker::setChooser(
                [destination](QWidget*, const QString&, DocumentPicker::Done done) { done(destination); });
            controller->exportManuscript(row);
            ASSERT_TRUE(waitFor([&] { return controller->exportPath() == destination; }))
                << Extensions.at(row).toStdString();
        }
        ViewController::transitionAppearance(&navigation, false, false);
    }

    QString m_projectId;
    QTemporaryDir m_out;
};

TEST_F(CompiledSketchExportTest, theSketchIsShownAndWrittenAsOneMorePictureExceptInPlainText)
{
    writeEveryType(m_out.path(), QStringLiteral("before"));
    addSketchCard();
    writeEveryType(m_out.path(), QStringLiteral("after"), [](CompiledViewController& controller) {
        const QTextDocument& shown = *controller.compiledView()->document();
        const QChar picture(QChar::ObjectReplacementCharacter);
        EXPECT_EQ(shown.toPlainText(), QStringLiteral("Scene 1 by the harbour.\n%1\n\n###\n\n%1\n\n###\n\n"
                                                      "Scene 3 by the harbour.\n\n\n\n")
                                           .arg(picture));
        const QTextBlock line = shown.findBlock(shown.toPlainText().lastIndexOf(picture));
        EXPECT_EQ(line.blockFormat().alignment(), Qt::AlignJustify);
        QTextCursor cursor(const_cast<QTextDocument*>(&shown));
        cursor.setPosition(line.position() + 1);
        const QJTextAttachment sketch = QJTextAttachment::fromFormat(cursor.charFormat(), shown);
        EXPECT_EQ(sketch.image().size(), (SampleSketch::Bounds.size() * 3).toSize());
        EXPECT_EQ(sketch.imageSize(), SampleSketch::Bounds.size());
    });

    // RTF: the picture embedded, its pixels three a point, its size in twips.
    const QByteArray rtf = contentsOf(m_out.filePath(QStringLiteral("after.rtf")));
    EXPECT_EQ(rtf.count("\\pngblip"), 2);
    EXPECT_TRUE(rtf.contains("\\pngblip\\picw312\\pich162\\picwgoal2080\\pichgoal1080"));

    // Apple RTF: a picture file beside the text, referenced from it.
    const QDir rtfd(m_out.filePath(QStringLiteral("after.rtfd")));
    const QStringList pictures = rtfd.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    ASSERT_EQ(pictures.size(), 2);
    const QImage drawn(rtfd.filePath(pictures.at(1)));
    EXPECT_EQ(drawn.size(), QSize(312, 162));
    EXPECT_EQ(drawn.pixelColor(156, 6), SampleSketch::Ink);
    EXPECT_EQ(QDir(m_out.filePath(QStringLiteral("before.rtfd"))).entryList({QStringLiteral("*.png")}).size(), 1);

    // Plain text: the separator the sketch brings, and no picture.
    const QString text = QString::fromUtf8(contentsOf(m_out.filePath(QStringLiteral("after.txt"))));
    EXPECT_EQ(text, QStringLiteral("Scene 1 by the harbour.\n\n\n###\n\n\n\n###\n\nScene 3 by the harbour.\n\n\n\n"));
    EXPECT_FALSE(text.contains(QChar::ObjectReplacementCharacter));

    // Word: the picture at the drawing's size in points, 12,700 EMU a point.
    const QByteArray xml = documentXmlOf(m_out.filePath(QStringLiteral("after.docx")));
    EXPECT_EQ(xml.count("<w:drawing>"), 2);
    EXPECT_TRUE(xml.contains("<wp:extent cx=\"1320800\" cy=\"685800\"/>"));

    // Word, and RTF once more: LibreOffice finds one more picture than without the sketch.
    if (ExternalTools::find(QStringLiteral("soffice")).isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: run scripts/deps";
    // The RTF files take names of their own, so that their conversions do not meet the Word files'.
    QStringList files;
    for (const QString& name : {QStringLiteral("before"), QStringLiteral("after")}) {
        files << m_out.filePath(name + QStringLiteral(".docx"));
        files << m_out.filePath(name + QStringLiteral("-rtf.rtf"));
        ASSERT_TRUE(QFile::copy(m_out.filePath(name + QStringLiteral(".rtf")), files.last()));
    }
    const QString odt = m_out.filePath(QStringLiteral("odt"));
    QDir().mkpath(odt);
    const auto run = ExternalTools::sofficeConvert(files, QStringLiteral("odt"), odt);
    ASSERT_TRUE(run.finished) << "soffice did not finish in time";
    const auto images = [&odt](const QString& name) {
        return odtImageCount(QDir(odt).filePath(name + QStringLiteral(".odt")));
    };
    EXPECT_EQ(images(QStringLiteral("before")), 1) << run.err.toStdString();
    EXPECT_EQ(images(QStringLiteral("after")), 2);
    EXPECT_EQ(images(QStringLiteral("before-rtf")), 1);
    EXPECT_EQ(images(QStringLiteral("after-rtf")), 2);
}
