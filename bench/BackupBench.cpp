#include "BenchPicture.h"
#include "TestStore.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "export/ArchiveManager.h"
#include "export/Csv.h"
#include "export/Opml.h"
#include "platform/Uuid.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/text/TextAttachment.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <benchmark/benchmark.h>

namespace {

constexpr int Cards = 10000;
constexpr int WordsPerCard = 12;
constexpr int Pictures = 50;
constexpr int Folders = 100;
const QString ProjectId = QStringLiteral("BENCH");

QString words(int card)
{
    static const QStringList pool = {QStringLiteral("garden"), QStringLiteral("rose"),   QStringLiteral("the"),
                                     QStringLiteral("river"),  QStringLiteral("and"),    QStringLiteral("night"),
                                     QStringLiteral("café"),   QStringLiteral("window"), QStringLiteral("of")};
    QStringList text;
    for (int i = 0; i < WordsPerCard; ++i)
        text << pool.at((card + i * 7) % pool.size());
    return text.join(QLatin1Char(' '));
}

QByteArray body(int card)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("Helvetica")});
    plain.setFontPointSize(14);
    cursor.insertText(words(card), plain);
    if (card % (Cards / Pictures) == 0) {
        const QByteArray bytes = benchPicture(card);
        const QString name = QStringLiteral("picture-%1").arg(card);
        document.addResource(QTextDocument::ImageResource, QUrl(name), QImage::fromData(bytes));
        QTextImageFormat image;
        image.setName(name);
        image.setProperty(TextAttachment::ClassName, QString::fromLatin1(TextAttachment::ImageClass));
        image.setProperty(TextAttachment::FileContents, bytes);
        cursor.insertImage(image);
    }
    return AttributedStringArchive::encode(document);
}

// One store for every benchmark: a project of 10,000 cards in 100 folders, 120,000 words, 50 pictures.
TestStore& store()
{
    static TestStore* instance = [] {
        auto* made = new TestStore;
        ManagedObjectContext* context = made->context();
        auto* project = context->insertNew<Project>();
        project->setUniqueIdentifier(ProjectId);
        project->setProjectTitle(QStringLiteral("Bench"));
        project->setDisplayOrder(1);
        project->setLastModified(QDateTime::currentDateTime());
        QStringList folders;
        for (int f = 0; f < Folders; ++f) {
            auto* folder = context->insertNew<ProjectItem>();
            folder->setUniqueIdentifier(Uuid::uuidString());
            folder->setProjectId(ProjectId);
            folder->setParentItemId(ItemIds::Top);
            folder->setItemType(ProjectItemTypes::Folder);
            folder->setTitle(QStringLiteral("Chapter %1").arg(f + 1));
            folder->setDisplayOrder(f + 1);
            folders << folder->uniqueIdentifier();
        }
        for (int c = 0; c < Cards; ++c) {
            auto* card = context->insertNew<ProjectItem>();
            card->setUniqueIdentifier(Uuid::uuidString());
            card->setProjectId(ProjectId);
            card->setParentItemId(folders.at(c % Folders));
            card->setItemType(ProjectItemTypes::Story + c % 8);
            card->setItemFormat(ProjectItemFormats::Text);
            card->setTitle(QStringLiteral("Scene %1").arg(c + 1));
            card->setSummary(words(c));
            card->setDisplayOrder(c / Folders + 1);
            card->setWordCount(WordsPerCard);
            auto* document = context->insertNew<ProjectItemDocument>();
            document->setUniqueIdentifier(Uuid::uuidString());
            document->setProjectId(ProjectId);
            document->setParentItemId(card->uniqueIdentifier());
            document->setMimetype(DocumentMimeTypes::RichText);
            document->setContent(body(c));
        }
        context->save();
        return made;
    }();
    return *instance;
}

// Whether the file ends in a zip's directory that lists at least one entry.
bool isWholeZip(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 22 || !file.seek(file.size() - 22))
        return false;
    const QByteArray end = file.read(22);
    const int entries = quint8(end[10]) | quint8(end[11]) << 8;
    return end.startsWith("PK\x05\x06") && entries > 0;
}

qint64 itemCount(ManagedObjectContext* context, const QString& projectId)
{
    FetchRequest request = ProjectItem::fetchRequest();
    request.setPredicate(QStringLiteral("projectId == %@"), {projectId});
    return context->count(request);
}

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

void BM_BackupProject10k(benchmark::State& state)
{
    ManagedObjectContext* context = store().context();
    int run = 0;
    for (auto _ : state) {
        const QString path = workDir().filePath(QStringLiteral("Bench-%1.zip").arg(run++));
        const bool written = ArchiveManager().performArchive(context, ProjectId, QStringLiteral("Bench"), path);
        state.PauseTiming();
        state.counters["zipMB"] = double(QFileInfo(path).size()) / (1 << 20);
        const bool whole = written && isWholeZip(path);
        QFile::remove(path);
        state.ResumeTiming();
        if (!whole) {
            state.SkipWithError("backup failed");
            break;
        }
    }
}
BENCHMARK(BM_BackupProject10k)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_RestoreProject10k(benchmark::State& state)
{
    ManagedObjectContext* context = store().context();
    const QString path = workDir().filePath(QStringLiteral("Restore.zip"));
    if (!QFile::exists(path) && !ArchiveManager().performArchive(context, ProjectId, QStringLiteral("Bench"), path)) {
        state.SkipWithError("backup failed");
        return;
    }
    for (auto _ : state) {
        const std::optional<QString> restored = ArchiveManager().importArchive(context, path, 2);
        state.PauseTiming();
        const bool whole = restored && itemCount(context, *restored) == Cards + Folders;
        state.ResumeTiming();
        if (!whole) {
            state.SkipWithError("restore failed");
            break;
        }
    }
}
BENCHMARK(BM_RestoreProject10k)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ExportOpml10k(benchmark::State& state)
{
    ManagedObjectContext* context = store().context();
    const QString path = workDir().filePath(QStringLiteral("Bench.opml"));
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        const bool written = Opml().writeOpml(file, context, ProjectId, QStringLiteral("Bench"), ItemIds::Top, true);
        file.close();
        state.PauseTiming();
        file.open(QIODevice::ReadOnly);
        // One outline per folder and per card.
        const bool whole = written && file.readAll().count("<outline") == Cards + Folders;
        state.ResumeTiming();
        if (!whole) {
            state.SkipWithError("export failed");
            break;
        }
    }
}
BENCHMARK(BM_ExportOpml10k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportCsv10k(benchmark::State& state)
{
    ManagedObjectContext* context = store().context();
    for (auto _ : state) {
        const QString text = Csv().getCsvWithContext(context, ProjectId, ItemIds::Top);
        if (text.count(QLatin1Char('\n')) != Cards)
            state.SkipWithError("not every card written");
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_ExportCsv10k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
