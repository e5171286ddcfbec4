// A manuscript of 400 Story cards, 120,000 words and 20 pictures: compiled from the store, then written out.
#include "TestStore.h"
#include "TestWait.h"
#include "core/Fonts.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "export/AttributedStringExport.h"
#include "export/CompiledViewController.h"
#include "export/ManuscriptCompiler.h"
#include "platform/Delays.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "richtext/PvTextView.h"
#include "richtext/QJTextAttachment.h"
#include "richtext/RichTextDocumentFormat.h"
#include "richtext/TextRuns.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

const QString ProjectId = QStringLiteral("00000000-0000-0000-0000-0000000000BB");
constexpr int Chapters = 10;
constexpr int CardsPerChapter = 40;
constexpr int WordsPerCard = 300;
constexpr int ParagraphsPerCard = 6;
constexpr int PictureEvery = 20;

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

void fillManuscript(ManagedObjectContext* context)
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
            auto* document = context->insertNew<ProjectItemDocument>();
            document->setUniqueIdentifier(QStringLiteral("DOC-%1").arg(index));
            document->setProjectId(ProjectId);
            document->setParentItemId(card->uniqueIdentifier());
            document->setMimetype(DocumentMimeTypes::RichText);
            document->setContent(cardBody(index));
        }
    }
    context->save();
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

    void write(benchmark::State& state, int type, const QString& name)
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        for (auto _ : state) {
            if (!AttributedStringExport::exportDataToFile(*compiled, path, type))
                state.SkipWithError("the export failed");
        }
        state.counters["bytes"] = double(QFileInfo(path).size());
    }

    std::unique_ptr<TestStore> store;
    std::unique_ptr<QTextDocument> compiled;
};

BENCHMARK_DEFINE_F(Manuscript, CompileManuscript400)(benchmark::State& state)
{
    for (auto _ : state) {
        auto document = ManuscriptCompiler(store->context(), ProjectId).doCompile(ItemIds::Top);
        benchmark::DoNotOptimize(document->characterCount());
    }
    state.counters["words"] = double(compiled->toPlainText().split(QLatin1Char(' '), Qt::SkipEmptyParts).size());
}

BENCHMARK_DEFINE_F(Manuscript, WriteDocx120k)(benchmark::State& state)
{
    write(state, AttributedStringExport::DOCX, QStringLiteral("Manuscript.docx"));
}

BENCHMARK_DEFINE_F(Manuscript, WriteRtf120k)(benchmark::State& state)
{
    write(state, AttributedStringExport::RTF, QStringLiteral("Manuscript.rtf"));
}

BENCHMARK_DEFINE_F(Manuscript, WriteText120k)(benchmark::State& state)
{
    write(state, AttributedStringExport::Text, QStringLiteral("Manuscript.txt"));
}

// What the writer waits for after choosing Compile: the screen built, the manuscript compiled, shown in the
// view at the text scale, laid out and painted.
BENCHMARK_DEFINE_F(Manuscript, ShowCompiledView)(benchmark::State& state)
{
    Delays::setFactor(0);
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
        if (!waitFor(
                [controller] { return !ProgressHud::isActive() && !controller->compiledView()->document()->isEmpty(); },
                30000))
            state.SkipWithError("the manuscript was not shown");
        benchmark::DoNotOptimize(navigation.grab().width());
        ViewController::transitionAppearance(&navigation, false, false);
    }
    ProgressHud::reset();
}

} // namespace

// The names the speed goals are reported under.
BENCHMARK_REGISTER_F(Manuscript, CompileManuscript400)->Name("BM_CompileManuscript400")->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(Manuscript, WriteDocx120k)->Name("BM_WriteDocx120k")->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(Manuscript, WriteRtf120k)->Name("BM_WriteRtf120k")->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(Manuscript, ShowCompiledView)->Name("BM_ShowCompiledView400")->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(Manuscript, WriteText120k)->Name("BM_WriteText120k")->Unit(benchmark::kMillisecond);
