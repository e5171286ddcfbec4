// A manuscript of 400 Story cards, 120,000 words and 20 pictures: compiled from the store, then written out. The
// compile is also measured with 20 of the cards turned into sketches of 1,000 strokes each.
#include "BenchDrawing.h"
#include "TestStore.h"
#include "TestWait.h"
#include "core/Fonts.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/SharedHelpers.h"
#include "core/StoreConstants.h"
#include "export/AttributedStringExport.h"
#include "export/CompiledViewController.h"
#include "export/ManuscriptCompiler.h"
#include "export/SSZipArchive.h"
#include "platform/Delays.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "platform/ink/InkWriter.h"
#include "platform/rtf/RtfReader.h"
#include "richtext/PvTextView.h"
#include "richtext/QJTextAttachment.h"
#include "richtext/RichTextDocumentFormat.h"
#include "richtext/TextRuns.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <benchmark/benchmark.h>
#include <functional>

#include <cmath>

namespace {

const QString ProjectId = QStringLiteral("00000000-0000-0000-0000-0000000000BB");
constexpr int Chapters = 10;
constexpr int CardsPerChapter = 40;
constexpr int WordsPerCard = 300;
constexpr int ParagraphsPerCard = 6;
constexpr int PictureEvery = 20;
// Every twentieth card, between the pictures, is a sketch when the manuscript has sketches.
constexpr int SketchEvery = 20;
constexpr int SketchOffset = 10;
constexpr int SketchStrokes = 1000;
constexpr int PointsPerSketchStroke = 30;
// A sketch fills a page of 800 x 600 points.
constexpr double SketchWidth = 800.0;
constexpr double SketchHeight = 600.0;

const QStringList Words = {QStringLiteral("harbour"), QStringLiteral("lantern"), QStringLiteral("the"),
                           QStringLiteral("keeper"),  QStringLiteral("walked"),  QStringLiteral("along"),
                           QStringLiteral("café"),    QStringLiteral("storm"),   QStringLiteral("and"),
                           QStringLiteral("tide"),    QStringLiteral("Μαρία"),   QStringLiteral("a")};

// A photograph-like picture: gradients and detail, so that it does not compress to nothing.
QImage picture(int seed)
{
    QImage image(480, 320, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 480, 320);
    gradient.setColorAt(0, QColor::fromHsv(seed * 17 % 360, 160, 220));
    gradient.setColorAt(1, QColor::fromHsv(seed * 53 % 360, 200, 90));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 400; ++i) {
        painter.setPen(QColor::fromHsv((seed + i * 7) % 360, 120, 200));
        painter.drawLine((i * 37) % 480, (i * 91) % 320, (i * 53 + seed) % 480, (i * 29) % 320);
    }
    return image;
}

QByteArray cardBody(int index)
{
    QTextDocument text;
    text.setDefaultFont(Fonts::getDefaultFontWithSize(TextRuns::BaseFontSize));
    QTextCursor cursor(&text);
    QTextCharFormat plain;
    plain.setFont(Fonts::getDefaultFontWithSize(TextRuns::BaseFontSize));
    QTextCharFormat italic = plain;
    italic.setFontItalic(true);
    int word = index;
    for (int p = 0; p < ParagraphsPerCard; ++p) {
        if (p > 0)
            cursor.insertBlock();
        QString sentence;
        for (int w = 0; w < WordsPerCard / ParagraphsPerCard; ++w)
            sentence += Words.at(word++ % Words.size()) + (w % 12 == 11 ? QStringLiteral(". ") : QStringLiteral(" "));
        cursor.insertText(sentence.left(sentence.size() / 2), plain);
        cursor.insertText(sentence.mid(sentence.size() / 2, 20), italic);
        cursor.insertText(sentence.mid(sentence.size() / 2 + 20), plain);
    }
    if (index % PictureEvery == 0) {
        cursor.insertBlock();
        cursor.insertImage(QJTextAttachment(picture(index)).format(text));
    }
    return *RichTextDocumentFormat::getData(text, std::nullopt);
}

QByteArray sketchBody(int index)
{
    const HandDrawing shape{SketchStrokes, PointsPerSketchStroke, QSizeF(SketchWidth, SketchHeight), 1.5f, 3, 9.0};
    return InkWriter::encode(handDrawnStrokes(shape, quint32(index))).value();
}

bool isSketch(int index, bool withSketches)
{
    return withSketches && index % SketchEvery == SketchOffset;
}

void fillManuscript(ManagedObjectContext* context, bool withSketches = false)
{
    for (int c = 0; c < Chapters; ++c) {
        auto* chapter = context->insertNew<ProjectItem>();
        const QString chapterId = QStringLiteral("CHAPTER-%1").arg(c);
        chapter->setUniqueIdentifier(chapterId);
        chapter->setProjectId(ProjectId);
        chapter->setParentItemId(ItemIds::Top);
        chapter->setItemType(ProjectItemTypes::Folder);
        chapter->setTitle(QStringLiteral("Chapter %1").arg(c + 1));
        chapter->setDisplayOrder(c + 1);
        for (int s = 0; s < CardsPerChapter; ++s) {
            const int index = c * CardsPerChapter + s;
            auto* card = context->insertNew<ProjectItem>();
            card->setUniqueIdentifier(QStringLiteral("SCENE-%1").arg(index));
            card->setProjectId(ProjectId);
            card->setParentItemId(chapterId);
            card->setItemType(ProjectItemTypes::Story);
            card->setDisplayOrder(s + 1);
            const bool sketch = isSketch(index, withSketches);
            card->setItemFormat(sketch ? ProjectItemFormats::Sketch : ProjectItemFormats::Text);
            auto* document = context->insertNew<ProjectItemDocument>();
            document->setUniqueIdentifier(QStringLiteral("DOC-%1").arg(index));
            document->setProjectId(ProjectId);
            document->setParentItemId(card->uniqueIdentifier());
            document->setMimetype(sketch ? DocumentMimeTypes::Drawing : DocumentMimeTypes::RichText);
            document->setContent(sketch ? sketchBody(index) : cardBody(index));
        }
    }
    context->save();
}

constexpr int Pictures = Chapters * CardsPerChapter / PictureEvery;

int pictureCount(const QTextDocument& document)
{
    int count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            count += it.fragment().charFormat().isImageFormat() ? it.fragment().length() : 0;
    }
    return count;
}

// The text of a WordprocessingML body as a reader takes it: each paragraph a line, tabs and breaks kept.
QString docxText(const QByteArray& xml)
{
    QString text;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.qualifiedName() == QLatin1String("w:t"))
            text += reader.readElementText();
        else if (reader.isStartElement() && reader.qualifiedName() == QLatin1String("w:tab") &&
                 reader.attributes().isEmpty()) // a tab stop of the paragraph's properties carries its position
            text += QLatin1Char('\t');
        else if (reader.isStartElement() && reader.qualifiedName() == QLatin1String("w:br"))
            text += QLatin1Char('\n');
        else if (reader.isEndElement() && reader.qualifiedName() == QLatin1String("w:p"))
            text += QLatin1Char('\n');
    }
    return reader.hasError() ? QString() : text;
}

class Manuscript : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override
    {
        store = std::make_unique<TestStore>();
        fillManuscript(store->context());
        compiled = ManuscriptCompiler(store->context(), ProjectId).doCompile(ItemIds::Top);
    }
    void TearDown(const benchmark::State&) override
    {
        compiled.reset();
        store.reset();
    }

    // Writes the manuscript again and again; after each, written(path) reads the file back and judges it.
    void write(benchmark::State& state, int type, const QString& name,
               const std::function<bool(const QString&)>& written)
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        for (auto _ : state) {
            const bool exported = AttributedStringExport::exportDataToFile(*compiled, path, type);
            state.PauseTiming();
            const bool whole = exported && written(path);
            state.ResumeTiming();
            if (!whole) {
                state.SkipWithError("the export failed");
                break;
            }
        }
        state.counters["bytes"] = double(QFileInfo(path).size());
    }

    qsizetype compiledWords() const { return SharedHelpers::countWords(compiled->toPlainText()); }

    std::unique_ptr<TestStore> store;
    std::unique_ptr<QTextDocument> compiled;
};

// The manuscript with 20 of its Story cards made sketches: every text card's words, each chapter's title and a
// picture for every picture card and every sketch.
class SketchedManuscript : public benchmark::Fixture {
public:
    static constexpr int Sketches = Chapters * CardsPerChapter / SketchEvery;
    static constexpr qsizetype ExpectedWords =
        qsizetype(Chapters * CardsPerChapter - Sketches) * WordsPerCard + Chapters * 2;
    static constexpr int ExpectedPictures = Chapters * CardsPerChapter / PictureEvery + Sketches;

    void SetUp(const benchmark::State&) override
    {
        store = std::make_unique<TestStore>();
        fillManuscript(store->context(), true);
    }
    void TearDown(const benchmark::State&) override { store.reset(); }

    static int pictureCount(const QTextDocument& document)
    {
        int pictures = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                pictures += it.fragment().charFormat().isImageFormat() ? it.fragment().length() : 0;
        return pictures;
    }

    std::unique_ptr<TestStore> store;
};

BENCHMARK_DEFINE_F(SketchedManuscript, CompileManuscript400)(benchmark::State& state)
{
    qsizetype words = 0;
    for (auto _ : state) {
        auto document = ManuscriptCompiler(store->context(), ProjectId).doCompile(ItemIds::Top);
        state.PauseTiming();
        words = SharedHelpers::countWordsInAttributedString(document.get());
        const int pictures = pictureCount(*document);
        document.reset();
        state.ResumeTiming();
        if (words != ExpectedWords || pictures != ExpectedPictures) {
            state.SkipWithError(
                QStringLiteral("compiled %1 words and %2 pictures").arg(words).arg(pictures).toUtf8().constData());
            break;
        }
    }
    state.counters["words"] = double(words);
}

BENCHMARK_DEFINE_F(Manuscript, WriteDocx120k)(benchmark::State& state)
{
    const qsizetype words = compiledWords();
    write(state, AttributedStringExport::DOCX, QStringLiteral("Manuscript.docx"), [words](const QString& path) {
        QTemporaryDir unpacked;
        if (!SSZipArchive::unzipFileAtPath(path, unpacked.path()))
            return false;
        QFile document(unpacked.filePath(QStringLiteral("word/document.xml")));
        if (!document.open(QIODevice::ReadOnly))
            return false;
        const int pictures = int(QDir(unpacked.filePath(QStringLiteral("word/media"))).entryList(QDir::Files).size());
        return pictures == Pictures && SharedHelpers::countWords(docxText(document.readAll())) == words;
    });
}

BENCHMARK_DEFINE_F(Manuscript, WriteRtf120k)(benchmark::State& state)
{
    const qsizetype words = compiledWords();
    write(state, AttributedStringExport::RTF, QStringLiteral("Manuscript.rtf"), [words](const QString& path) {
        QFile file(path);
        const auto read = file.open(QIODevice::ReadOnly) ? RtfReader::read(file.readAll()) : nullptr;
        return read && pictureCount(*read) == Pictures && SharedHelpers::countWords(read->toPlainText()) == words;
    });
}

BENCHMARK_DEFINE_F(Manuscript, WriteText120k)(benchmark::State& state)
{
    const qsizetype words = compiledWords();
    write(state, AttributedStringExport::Text, QStringLiteral("Manuscript.txt"), [words](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) && SharedHelpers::countWords(QString::fromUtf8(file.readAll())) == words;
    });
}

// What the writer waits for after choosing Compile: the screen built, the manuscript compiled, shown in the
// view at the text scale, laid out and painted.
BENCHMARK_DEFINE_F(Manuscript, ShowCompiledView)(benchmark::State& state)
{
    Delays::setFactor(0);
    const qsizetype words = compiledWords();
    for (auto _ : state) {
        auto* controller = new CompiledViewController;
        controller->managedObjectContext = store->context();
        controller->projectId = ProjectId;
        controller->folderId = ItemIds::Top;
        controller->folderTitle = QStringLiteral("Manuscript");
        NavigationController navigation(controller);
        navigation.resize(1400, 900);
        navigation.show();
        ViewController::transitionAppearance(&navigation, true, false);
        const bool arrived = waitFor(
            [controller] { return !ProgressHud::isActive() && !controller->compiledView()->document()->isEmpty(); });
        benchmark::DoNotOptimize(navigation.grab().width());
        state.PauseTiming();
        const QTextDocument* shown = controller->compiledView()->document();
        const bool whole =
            arrived && SharedHelpers::countWords(shown->toPlainText()) == words && pictureCount(*shown) == Pictures;
        ViewController::transitionAppearance(&navigation, false, false);
        state.ResumeTiming();
        if (!whole) {
            state.SkipWithError("the view does not show the whole manuscript");
            break;
        }
    }
    ProgressHud::reset();
}

} // namespace

// The names the speed goals are reported under.
// The sketches are drawn on other threads: the figure to read is Time (the wall clock), not the main thread's CPU.
BENCHMARK_REGISTER_F(SketchedManuscript, CompileManuscript400)
    ->Name("BM_CompileManuscript400")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(Manuscript, WriteDocx120k)->Name("BM_WriteDocx120k")->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(Manuscript, WriteRtf120k)->Name("BM_WriteRtf120k")->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(Manuscript, ShowCompiledView)->Name("BM_ShowCompiledView400")->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(Manuscript, WriteText120k)->Name("BM_WriteText120k")->Unit(benchmark::kMillisecond);
