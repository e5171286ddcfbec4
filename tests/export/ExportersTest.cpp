#include "export/AttributedStringExport.h"
#include "export/ExportStaging.h"
#include "export/RTFDExporter.h"

#include "SampleDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<QTextDocument> textWithPicture()
{
    auto document = SampleDocument::empty();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("before "), SampleDocument::plain());
    SampleDocument::insertPicture(cursor, SampleDocument::picture(Qt::red));
    cursor.insertText(QStringLiteral(" after"), SampleDocument::plain());
    return document;
}

} // namespace

TEST(ExportersTest, unknownTypesAndPdfWriteNothingAndFail)
{
    QTemporaryDir dir;
    auto document = SampleDocument::text(QStringLiteral("text"));
    for (int type : {-1, 3, 5}) {
        const QString path = dir.filePath(QStringLiteral("out%1").arg(type));
        EXPECT_FALSE(AttributedStringExport::exportDataToFile(*document, path, type)) << type;
        EXPECT_FALSE(QFileInfo::exists(path)) << type;
    }
    EXPECT_EQ(AttributedStringExport::exporterFor(5), nullptr);
    EXPECT_NE(AttributedStringExport::exporterFor(3), nullptr);
}

TEST(ExportersTest, plainTextIsUtf8WithoutAttachmentCharacters)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.txt"));
    ASSERT_TRUE(AttributedStringExport::exportDataToFile(*textWithPicture(), path, AttributedStringExport::Text));
    EXPECT_EQ(readFile(path), QStringLiteral("before  after").toUtf8());
}

TEST(ExportersTest, rtfdIsAFolderWithTheTextAndItsPictures)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.rtfd"));
    ASSERT_TRUE(AttributedStringExport::exportDataToFile(*textWithPicture(), path, AttributedStringExport::RTFD));
    EXPECT_EQ(QDir(path).entryList(QDir::Files, QDir::Name),
              (QStringList{RTFDExporter::TextFileName, QStringLiteral("image1.png")}));
    EXPECT_FALSE(QImage(QDir(path).filePath(QStringLiteral("image1.png"))).isNull());
    EXPECT_TRUE(readFile(QDir(path).filePath(RTFDExporter::TextFileName)).contains("\\NeXTGraphic image1.png"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("card.rtfd")})
        << "no work folder is left beside the package";
}

TEST(ExportersTest, aFailedWriteLeavesWhatWasThereUntouchedAndNoWorkFiles)
{
    // A folder where the file should go cannot be replaced by a file: every writer must fail without harm.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.docx"));
    ASSERT_TRUE(QDir().mkpath(path));
    {
        QFile kept(QDir(path).filePath(QStringLiteral("kept.txt")));
        ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
        kept.write("the writer's earlier file");
    }
    for (int type : {AttributedStringExport::DOCX, AttributedStringExport::RTF, AttributedStringExport::Text})
        EXPECT_FALSE(AttributedStringExport::exportDataToFile(*textWithPicture(), path, type)) << type;
    EXPECT_EQ(readFile(QDir(path).filePath(QStringLiteral("kept.txt"))), "the writer's earlier file");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("card.docx")});
}

TEST(ExportersTest, aDocxReplacesTheTargetOnlyWhenCompleteAndLeavesNoWorkFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.docx"));
    ASSERT_TRUE(AttributedStringExport::exportDataToFile(*textWithPicture(), path, AttributedStringExport::DOCX));
    ASSERT_TRUE(AttributedStringExport::exportDataToFile(*textWithPicture(), path, AttributedStringExport::DOCX));
    EXPECT_TRUE(readFile(path).startsWith("PK"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("card.docx")});
}

// The producer writes under a name already held beside the target, so no other program can take it between the
// choice and the write; a failed producer leaves the old file as it was.
TEST(ExportStagingTest, aProducedFileIsWrittenUnderAHeldNameBesideItsTarget)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("Harbour.zip"));
    ASSERT_TRUE(ExportStaging::writeFile(target, "old"));
    const auto produce = [&](bool succeed) {
        return ExportStaging::produceFile(target, [&](const QString& staged) {
            const QFileInfo info(staged);
            EXPECT_TRUE(info.isFile()) << "the name is held before the producer writes";
            EXPECT_EQ(info.absolutePath(), QFileInfo(target).absolutePath());
            EXPECT_TRUE(info.fileName().startsWith(QStringLiteral(".Harbour.zip.")));
            return succeed && ExportStaging::writeFile(staged, "new");
        });
    };
    EXPECT_FALSE(produce(false));
    EXPECT_EQ(readFile(target), "old");
    EXPECT_TRUE(produce(true));
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Harbour.zip")});
}

TEST(ExportStagingTest, aTakenNameGetsTheNextFreeNumber)
{
    QTemporaryDir dir;
    EXPECT_EQ(ExportStaging::freeFileName(dir.path(), QStringLiteral("Title"), QStringLiteral("docx")),
              dir.filePath(QStringLiteral("Title.docx")));
    QFile(dir.filePath(QStringLiteral("Title.docx"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(ExportStaging::freeFileName(dir.path(), QStringLiteral("Title"), QStringLiteral("docx")),
              dir.filePath(QStringLiteral("Title 2.docx")));
    QDir().mkpath(dir.filePath(QStringLiteral("Title 2.docx")));
    EXPECT_EQ(ExportStaging::freeFileName(dir.path(), QStringLiteral("Title"), QStringLiteral("docx")),
              dir.filePath(QStringLiteral("Title 3.docx")));
}

TEST(ExportStagingTest, privateFoldersAreNeverTheUsersOwnFolders)
{
    const QString folder = ExportStaging::privateExportFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_FALSE(folder.startsWith(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
    EXPECT_FALSE(folder.startsWith(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)));
    const QString second = ExportStaging::privateExportFolder();
    EXPECT_NE(folder, second) << "each export gets a folder of its own";
    QDir(folder).removeRecursively();
    QDir(second).removeRecursively();
}

TEST(ExportStagingTest, aPackagePlacedUnderAFreeNameLeavesTheTakenOneAlone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("private"))));
    const QString source = dir.filePath(QStringLiteral("private/card.rtfd"));
    ASSERT_TRUE(AttributedStringExport::exportDataToFile(*textWithPicture(), source, AttributedStringExport::RTFD));
    const QString downloads = dir.filePath(QStringLiteral("Downloads"));
    const QString taken = downloads + QStringLiteral("/Title.rtfd");
    ASSERT_TRUE(QDir().mkpath(taken));
    QFile mine(taken + QStringLiteral("/mine.txt"));
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.close();
    const auto placed =
        ExportStaging::placeUnderFreeName(source, downloads, QStringLiteral("Title"), QStringLiteral("rtfd"));
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(*placed, downloads + QStringLiteral("/Title 2.rtfd"));
    EXPECT_EQ(QDir(*placed).entryList(QDir::Files, QDir::Name),
              (QStringList{RTFDExporter::TextFileName, QStringLiteral("image1.png")}));
    EXPECT_EQ(QDir(taken).entryList(QDir::Files), QStringList{QStringLiteral("mine.txt")});
    EXPECT_EQ(QDir(downloads).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2)
        << "no staged copy is left behind";
}

TEST(ExportersTest, anRtfdWrittenOverAnEarlierOneReplacesItWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.rtfd"));
    ASSERT_TRUE(AttributedStringExport::exportDataToFile(*textWithPicture(), path, AttributedStringExport::RTFD));
    ASSERT_TRUE(AttributedStringExport::exportDataToFile(*SampleDocument::text(QStringLiteral("no pictures now")), path,
                                                         AttributedStringExport::RTFD));
    EXPECT_EQ(QDir(path).entryList(QDir::Files), QStringList{RTFDExporter::TextFileName});
    EXPECT_TRUE(readFile(QDir(path).filePath(RTFDExporter::TextFileName)).contains("no pictures now"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("card.rtfd")})
        << "neither the earlier package nor a work folder is left beside it";
}

// The search for a free name is bounded: the last name it tries is used when free, and past it nothing is placed.
TEST(ExportStagingTest, namesAreSoughtUpToTheLimitAndNoFurther)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("card.txt"));
    ASSERT_TRUE(QFile(source).open(QIODevice::WriteOnly));
    const QString folder = dir.filePath(QStringLiteral("Downloads"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto take = [&folder](const QString& name) {
        return QFile(folder + QLatin1Char('/') + name).open(QIODevice::WriteOnly);
    };
    ASSERT_TRUE(take(QStringLiteral("Title.txt")));
    const int last = ExportStaging::MaxFreeNameAttempts - 1;
    for (int n = 2; n < last; ++n)
        ASSERT_TRUE(take(QStringLiteral("Title %1.txt").arg(n)));
    const QString lastName = folder + QStringLiteral("/Title %1.txt").arg(last);
    EXPECT_EQ(ExportStaging::placeUnderFreeName(source, folder, QStringLiteral("Title"), QStringLiteral("txt")),
              lastName);
    EXPECT_EQ(ExportStaging::placeUnderFreeName(source, folder, QStringLiteral("Title"), QStringLiteral("txt")),
              std::nullopt);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), last) << "no staged copy is left";
}

TEST(ExportStagingTest, aDanglingLinkUnderTheNameStaysAndTheCopyTakesTheNextName)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("card.txt"));
    {
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("words");
    }
    const QString downloads = dir.filePath(QStringLiteral("Downloads"));
    ASSERT_TRUE(QDir().mkpath(downloads));
    // A link to nothing does not exist to QFileInfo, yet its name is taken: nothing may be renamed over it.
    const QString link = downloads + QStringLiteral("/Title.txt");
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere")), link));
    const auto placed =
        ExportStaging::placeUnderFreeName(source, downloads, QStringLiteral("Title"), QStringLiteral("txt"));
    EXPECT_EQ(QFile::symLinkTarget(link), dir.filePath(QStringLiteral("nowhere")));
    ASSERT_TRUE(placed);
    EXPECT_EQ(*placed, downloads + QStringLiteral("/Title 2.txt"));
    QFile copy(*placed);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("words"));
    const QStringList hidden = QDir(downloads)
                                   .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                                   .filter(QRegularExpression(QStringLiteral("^\\.")));
    EXPECT_TRUE(hidden.isEmpty()) << hidden.join(QLatin1Char(' ')).toStdString();
}

// Another program may take the free name between the look and the rename. The source here is a pipe, so the copy
// waits for the other side; that side takes the name only once the staged copy is there, then lets the copy go on.
TEST(ExportStagingTest, aNameTakenAfterItWasFoundFreeStaysTheirsAndTheCopyTakesTheNextName)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("card.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(source).constData(), 0600), 0);
    const QString downloads = dir.filePath(QStringLiteral("Downloads"));
    ASSERT_TRUE(QDir().mkpath(downloads));
    const QString theirs = downloads + QStringLiteral("/Title.txt");
    // Watched before the first look, so that a staged copy made between the two is still heard of.
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(downloads).constData(), IN_CREATE), 0);
    const auto staged = [&downloads] {
        return !QDir(downloads).entryList({QStringLiteral(".Title.txt.*")}, QDir::Hidden | QDir::Files).isEmpty();
    };
    std::thread otherProgram([&] {
        // Bounded, so that a copy that never stages fails the test instead of hanging it.
        pollfd events{watch, POLLIN, 0};
        while (!staged() && ::poll(&events, 1, 20000) > 0) {
            char buffer[4096];
            [[maybe_unused]] const ssize_t read = ::read(watch, buffer, sizeof buffer);
        }
        QFile taken(theirs);
        if (taken.open(QIODevice::WriteOnly))
            taken.write("theirs");
        taken.close();
        // Opening the writing end waits for the copy to open the pipe for reading; closed at once, it reads the end.
        const int end = ::open(QFile::encodeName(source).constData(), O_WRONLY);
        if (end >= 0)
            ::close(end);
    });
    const auto placed =
        ExportStaging::placeUnderFreeName(source, downloads, QStringLiteral("Title"), QStringLiteral("txt"));
    // A copy that never opened its source leaves the other side waiting: a reader of our own lets it go.
    const int reader = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_NONBLOCK);
    otherProgram.join();
    if (reader >= 0)
        ::close(reader);
    ::close(watch);
    EXPECT_EQ(placed, downloads + QStringLiteral("/Title 2.txt"));
    EXPECT_EQ(readFile(theirs), QByteArray("theirs"));
}
