#include "core/DbHelpersFixture.h"

#include "ExternalTools.h"
#include "RequiredTools.h"
#include "StoredRows.h"
#include "TestWait.h"
#include "core/DbHelpers.h"
#include "core/ProjectSetting.h"
#include "core/ProjectStat.h"
#include "export/ArchiveManager.h"
#include "platform/Alert.h"
#include "platform/DocumentPicker.h"
#include "platform/archive/AttributedStringArchive.h"
#include "platform/ink/InkFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QWidget>

#include <csignal>
#include <sys/resource.h>
#include <zip.h>
#include <zlib.h>

namespace {

const QString ProjectId = QStringLiteral("SRC");

QByteArray richBody(const QString& text)
{
    QTextDocument document;
    document.setPlainText(text);
    return AttributedStringArchive::encode(document);
}

// Raw deflate of data, for entries whose header the test writes itself.
QByteArray rawDeflate(const QByteArray& data)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(int(stream.total_out));
    deflateEnd(&stream);
    return out;
}

struct Entry {
    QString name;
    QByteArray data;
    // When set, the entry's header claims this size and its data is stored as given (already deflated).
    std::optional<uLong> claimedSize = std::nullopt;
};

void writeZip(const QString& path, const QList<Entry>& entries)
{
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    for (const Entry& entry : entries) {
        zip_fileinfo info{};
        const bool raw = entry.claimedSize.has_value();
        ASSERT_EQ(zipOpenNewFileInZip2(zip, entry.name.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                       Z_DEFLATED, Z_DEFAULT_COMPRESSION, raw ? 1 : 0),
                  ZIP_OK);
        zipWriteInFileInZip(zip, entry.data.constData(), unsigned(entry.data.size()));
        if (raw)
            zipCloseFileInZipRaw(zip, *entry.claimedSize, 0);
        else
            zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

const QByteArray ValidProject = "{\"projectTitle\": \"T\", \"uniqueIdentifier\": \"U\"}";
const QByteArray ValidOpml = "<opml version=\"1.0\"><head/><body><outline text=\"Card\"/></body></opml>";

} // namespace

class ArchiveManagerTest : public DbHelpersFixture {
protected:
    void SetUp() override
    {
        Project* project = addProject(QStringLiteral("Novel"), 3);
        project->setUniqueIdentifier(ProjectId);
        project->setImage(QByteArray("\x89PNG cover", 10));
        project->setLinkedPath(QStringLiteral("/some/where"));
        project->setProjectType(2);
        project->setProjectDate(QDateTime::fromMSecsSinceEpoch(1700000000500, Qt::UTC));
        project->setLastModified(QDateTime::fromMSecsSinceEpoch(1710000000000, Qt::UTC));
        ASSERT_NO_FATAL_FAILURE(save());
    }

    void TearDown() override
    {
        DocumentPicker::setChooser({});
        DocumentPicker::setPickChooser({});
        for (Alert* alert : Alert::presented())
            alert->trigger(0);
    }

    void seed()
    {
        ProjectItem* folder = addFolder(ProjectId, ItemIds::Top, QStringLiteral("Part\none"), 1);
        folder->setFolderType(ProjectFolderTypes::Folder);
        folder->setSummary(QStringLiteral("folder summary"));
        folder->setTag(QStringLiteral("done"));
        folder->setNotes(QStringLiteral("n\r\n"));
        folder->setItemFormat(ProjectItemFormats::Text);
        folder->setWordCount(0);
        folder->setCharCount(0);
        addDocument(folder)->setContent(richBody(QString()));
        const QString body = QStringLiteral("Rain fell on the roofs.\n\nShe ran home.");
        ProjectItem* story = addItem(ProjectId, folder->uniqueIdentifier(), ProjectItemTypes::Story,
                                     QStringLiteral("Opening \"quote\" & <tag>"), 1);
        story->setFolderType(ProjectFolderTypes::Card);
        story->setSummary(QStringLiteral("Rain."));
        story->setSummaryImage(QByteArray("\x89PNGthumb", 9));
        story->setTag(QStringLiteral("draft-3"));
        story->setNotes(QStringLiteral("check\tthis"));
        story->setItemFormat(ProjectItemFormats::Text);
        story->setWordCount(8);
        story->setCharCount(body.size());
        addDocument(story)->setContent(richBody(body));
        ProjectItem* rtf = addItem(ProjectId, ItemIds::Top, ProjectItemTypes::Location, QStringLiteral("Inn"), 2);
        rtf->setFolderType(ProjectFolderTypes::Card);
        rtf->setSummary(QStringLiteral("An inn"));
        rtf->setWordCount(2);
        rtf->setCharCount(6);
        rtf->setItemFormat(ProjectItemFormats::Text);
        rtf->setTag(QStringLiteral(""));
        rtf->setNotes(QStringLiteral(""));
        ProjectItemDocument* rtfBody = addDocument(rtf);
        rtfBody->setContent("{\\rtf1\\ansi An inn}");
        rtfBody->setMimetype(DocumentMimeTypes::Rtf);
        ProjectItem* sketch = addItem(ProjectId, ItemIds::Top, ProjectItemTypes::Idea, QStringLiteral("Map"), 3);
        sketch->setFolderType(ProjectFolderTypes::Card);
        sketch->setItemFormat(ProjectItemFormats::Sketch);
        sketch->setSummary(QStringLiteral("drawn"));
        // A finished card: a backup holds it like any other.
        sketch->setTag(QStringLiteral("done"));
        sketch->setNotes(QStringLiteral(""));
        sketch->setWordCount(0);
        sketch->setCharCount(0);
        ProjectItemDocument* drawing = addDocument(sketch);
        drawing->setContent(QByteArray(InkFormat::Magic, sizeof(InkFormat::Magic)) + "strokes");
        drawing->setMimetype(DocumentMimeTypes::Drawing);
        for (const auto& [name, value] : {std::pair{QStringLiteral("WordTarget"), QStringLiteral("50000")},
                                          std::pair{QStringLiteral("SceneSeparator"), QStringLiteral("* * *")}}) {
            auto* setting = context()->insertNew<ProjectSetting>();
            setting->setUniqueIdentifier(Uuid::uuidString());
            setting->setProjectId(ProjectId);
            setting->setName(name);
            setting->setValue(value);
        }
        auto* stat = context()->insertNew<ProjectStat>();
        stat->setUniqueIdentifier(Uuid::uuidString());
        stat->setProjectId(ProjectId);
        stat->setProjectItemId(story->uniqueIdentifier());
        stat->setStartTime(QDateTime::fromMSecsSinceEpoch(1720000000250, Qt::UTC));
        stat->setTime(600);
        stat->setWordCount(-12);
        ASSERT_NO_FATAL_FAILURE(save());
    }

    QString backup(const QString& name = QStringLiteral("Novel-Backup-Dec-7-2026.zip"))
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(ArchiveManager().performArchive(context(), ProjectId, QStringLiteral("Novel"), path));
        return path;
    }

    qint64 projectCount() { return context()->count(Project::fetchRequest()); }

    QList<ManagedObject*> rows(const QString& entity, const QString& projectId)
    {
        FetchRequest request(entity);
        request.setPredicate(QStringLiteral("projectId == %@"), {projectId});
        request.setSortDescriptors({{QStringLiteral("uniqueIdentifier"), true}});
        return context()->fetch(request);
    }

    // Restores through the project list's path: picker, delay, alert. Answers whether it restored.
    bool restoreThroughPicker(const QString& path)
    {
        DocumentPicker::setPickChooser(
            [path](QWidget*, const QString&, const QStringList&, DocumentPicker::Done done) { done(path); });
        ArchiveManager manager;
        std::optional<bool> outcome;
        QObject::connect(&manager, &ArchiveManager::restoreFinished, [&](bool ok) { outcome = ok; });
        bool completed = false;
        manager.unarchiveWithContext(context(), &m_window, 7, [&] { completed = true; });
        EXPECT_TRUE(waitFor([&] { return outcome.has_value(); }));
        EXPECT_EQ(completed, outcome.value_or(false));
        return outcome.value_or(false);
    }

    QTemporaryDir m_dir;
    QWidget m_window;
};

TEST_F(ArchiveManagerTest, backupThenRestoreGivesBackEveryField)
{
    seed();
    const std::optional<QString> restoredId = ArchiveManager().importArchive(context(), backup(), 9);
    ASSERT_TRUE(restoredId);
    EXPECT_NE(*restoredId, ProjectId);
    Project* original = DbHelpers::getProject(context(), ProjectId);
    Project* restored = DbHelpers::getProject(context(), *restoredId);
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->projectTitle(), QStringLiteral("Novel-Backup-Dec-7-2026"));
    EXPECT_EQ(restored->displayOrder(), 9);
    EXPECT_EQ(restored->image(), original->image());
    EXPECT_EQ(restored->linkedPath(), original->linkedPath());
    EXPECT_EQ(restored->projectType(), 2);
    EXPECT_EQ(restored->projectDate(), original->projectDate());
    EXPECT_EQ(restored->lastModified(), original->lastModified());

    // Items: the same tree, compared field by field with identifiers and stamps aside.
    std::function<void(const QString&, const QString&)> compare = [&](const QString& from, const QString& to) {
        const QList<ProjectItem*> a = DbHelpers::getFolderItems(context(), ProjectId, from);
        const QList<ProjectItem*> b = DbHelpers::getFolderItems(context(), *restoredId, to);
        ASSERT_EQ(a.size(), b.size());
        for (qsizetype i = 0; i < a.size(); ++i) {
            SCOPED_TRACE(a[i]->title().toStdString());
            EXPECT_NE(a[i]->uniqueIdentifier(), b[i]->uniqueIdentifier());
            for (const QString& key :
                 {ProjectItem::TitleKey, ProjectItem::SummaryKey, ProjectItem::SummaryImageKey, ProjectItem::TagKey,
                  ProjectItem::NotesKey, ProjectItem::ItemTypeKey, ProjectItem::ItemFormatKey,
                  ProjectItem::FolderTypeKey, ProjectItem::DisplayOrderKey, ProjectItem::WordCountKey,
                  ProjectItem::CharCountKey})
                EXPECT_EQ(a[i]->value(key), b[i]->value(key)) << key.toStdString();
            ProjectItemDocument* da = DbHelpers::getItemDocument(context(), a[i]->uniqueIdentifier());
            ProjectItemDocument* db = DbHelpers::getItemDocument(context(), b[i]->uniqueIdentifier());
            ASSERT_NE(db, nullptr);
            EXPECT_EQ(da->content(), db->content());
            EXPECT_EQ(da->mimetype(), db->mimetype());
            EXPECT_EQ(db->projectId(), *restoredId);
            compare(a[i]->uniqueIdentifier(), b[i]->uniqueIdentifier());
        }
    };
    compare(ItemIds::Top, ItemIds::Top);
    const QList<ProjectItem*> restoredTop = DbHelpers::getFolderItems(context(), *restoredId, ItemIds::Top);
    EXPECT_TRUE(std::any_of(restoredTop.begin(), restoredTop.end(), [](ProjectItem* item) {
        return item->title() == QStringLiteral("Map") && item->tag() == QStringLiteral("done");
    }));

    const QList<ManagedObject*> settingsA = rows(ProjectSetting::entityName(), ProjectId);
    const QList<ManagedObject*> settingsB = rows(ProjectSetting::entityName(), *restoredId);
    ASSERT_EQ(settingsB.size(), 2);
    QMap<QString, QString> a, b;
    for (ManagedObject* s : settingsA)
        a.insert(static_cast<ProjectSetting*>(s)->name(), static_cast<ProjectSetting*>(s)->value());
    for (ManagedObject* s : settingsB) {
        b.insert(static_cast<ProjectSetting*>(s)->name(), static_cast<ProjectSetting*>(s)->value());
        for (ManagedObject* old : settingsA)
            EXPECT_NE(static_cast<ProjectSetting*>(s)->uniqueIdentifier(),
                      static_cast<ProjectSetting*>(old)->uniqueIdentifier());
    }
    EXPECT_EQ(a, b);
    const QList<ManagedObject*> statsA = rows(ProjectStat::entityName(), ProjectId);
    const QList<ManagedObject*> statsB = rows(ProjectStat::entityName(), *restoredId);
    ASSERT_EQ(statsB.size(), 1);
    const auto* sa = static_cast<ProjectStat*>(statsA[0]);
    const auto* sb = static_cast<ProjectStat*>(statsB[0]);
    EXPECT_NE(sa->uniqueIdentifier(), sb->uniqueIdentifier());
    EXPECT_EQ(sa->projectItemId(), sb->projectItemId());
    EXPECT_EQ(sa->startTime(), sb->startTime());
    EXPECT_EQ(sa->time(), sb->time());
    EXPECT_EQ(sa->wordCount(), sb->wordCount());
    // Saved, not merely pending.
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(ArchiveManagerTest, archiveNameAndMembersAsOtherProgramsRead)
{
    EXPECT_EQ(ArchiveManager::backupBaseName(QStringLiteral(" No/v?el "), QDate(2026, 12, 7), QLocale::c()),
              QStringLiteral("Novel-Backup-Dec-7-2026"));
    seed();
    const QString path = backup();
    REQUIRE_TOOL("unzip");
    REQUIRE_TOOL("python3");
    const ExternalTools::Run test = ExternalTools::run(QStringLiteral("unzip"), {QStringLiteral("-t"), path});
    ASSERT_TRUE(test.finished);
    EXPECT_EQ(test.exitCode, 0) << test.out.toStdString();
    const ExternalTools::Run run = ExternalTools::run(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys, zipfile, json\n"
                        "z = zipfile.ZipFile(sys.argv[1])\n"
                        "assert z.testzip() is None\n"
                        "p = json.loads(z.read('project.json'))\n"
                        "s = json.loads(z.read('stats.json'))\n"
                        "assert all(isinstance(v, str) for v in p.values())\n"
                        "sys.stdout.write(','.join(z.namelist()) + '|' + p['projectDate'] + '|' + p['projectType']"
                        " + '|' + s[0]['startTime'] + '|' + s[0]['wordCount'])\n"),
         path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(run.out),
              QStringLiteral("project.json,settings.json,stats.json,content.opml|1700000000.5|2|1720000000.25|-12"));
}

TEST_F(ArchiveManagerTest, backupFailsWithoutProjectOrWritablePlace)
{
    ArchiveManager manager;
    EXPECT_FALSE(manager.performArchive(context(), QStringLiteral("missing"), QStringLiteral("X"),
                                        m_dir.filePath(QStringLiteral("x.zip"))));
    EXPECT_FALSE(manager.performArchive(context(), ProjectId, QStringLiteral("X"),
                                        m_dir.filePath(QStringLiteral("no/such/folder/x.zip"))));
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("x.zip"))));
    // Settings the store cannot hand over must not be left out of a backup reported as made.
    ASSERT_NO_FATAL_FAILURE(executeOnStore("ALTER TABLE ProjectSetting RENAME TO Unreadable"));
    EXPECT_FALSE(
        manager.performArchive(context(), ProjectId, QStringLiteral("X"), m_dir.filePath(QStringLiteral("x.zip"))));
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("x.zip"))));
    ASSERT_NO_FATAL_FAILURE(executeOnStore("ALTER TABLE Unreadable RENAME TO ProjectSetting"));
}

TEST_F(ArchiveManagerTest, backupReplacesTheFileTheWriterConfirmedWholeOrNotAtAll)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("chosen")));
    const QString folder = m_dir.filePath(QStringLiteral("chosen"));
    const QString chosen = QDir(folder).filePath(QStringLiteral("Novel.zip"));
    // Last week's backup, made before the cards existed, is the file the writer saves over.
    ASSERT_TRUE(ArchiveManager().performArchive(context(), ProjectId, QStringLiteral("Novel"), chosen));
    QFile oldFile(chosen);
    ASSERT_TRUE(oldFile.open(QIODevice::ReadOnly));
    const QByteArray oldBytes = oldFile.readAll();
    oldFile.close();
    seed();
    // About the size the new backup will have (its compressed size varies by a byte or two with the time).
    const qint64 newSize = QFileInfo(backup(QStringLiteral("measure.zip"))).size();
    ASSERT_GT(newSize, 1000);
    const auto entries = [folder] {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    };
    const QString exports =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("Exports"));
    const QStringList privateBefore = QDir(exports).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const auto attempt = [&](std::optional<rlim_t> fileSizeLimit) {
        DocumentPicker::setChooser([&](QWidget*, const QString&, DocumentPicker::Done done) {
            // The disk fills up half-way through the copy: writes past the limit fail.
            rlimit saved{};
            ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
            const auto previous = std::signal(SIGXFSZ, SIG_IGN);
            if (fileSizeLimit) {
                rlimit lowered = saved;
                lowered.rlim_cur = *fileSizeLimit;
                ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
            }
            done(chosen);
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, previous);
        });
        ArchiveManager manager;
        std::optional<bool> outcome;
        QObject::connect(&manager, &ArchiveManager::backupFinished, [&](bool ok) { outcome = ok; });
        manager.archiveWithContext(context(), &m_window, ProjectId, QStringLiteral("Novel"));
        EXPECT_TRUE(waitFor([&] { return outcome.has_value(); }));
        // The backup's private copy goes whatever the outcome.
        EXPECT_EQ(QDir(exports).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), privateBefore);
        return outcome.value_or(false);
    };

    EXPECT_FALSE(attempt(rlim_t(newSize / 2)));
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->message(), ArchiveManager::BackupErrorMessage);
    Alert::topmost()->trigger(0);
    QFile kept(chosen);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), oldBytes);
    kept.close();
    EXPECT_EQ(entries(), QStringList{QStringLiteral("Novel.zip")});

    ASSERT_TRUE(attempt(std::nullopt));
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->title(), ArchiveManager::BackupDoneTitle);
    EXPECT_EQ(Alert::topmost()->message(), ArchiveManager::BackupDoneMessage);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("Novel.zip")});
    REQUIRE_TOOL("python3");
    const ExternalTools::Run run = ExternalTools::run(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys, zipfile\n"
                        "z = zipfile.ZipFile(sys.argv[1])\n"
                        "assert z.testzip() is None\n"
                        "sys.stdout.write(','.join(z.namelist()) + '|' + str(b'Opening' in z.read('content.opml')))\n"),
         chosen});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(run.out), QStringLiteral("project.json,settings.json,stats.json,content.opml|True"));
}

TEST_F(ArchiveManagerTest, backupOfMissingProjectShowsTheErrorNotCompletion)
{
    ArchiveManager manager;
    std::optional<bool> outcome;
    QObject::connect(&manager, &ArchiveManager::backupFinished, [&](bool ok) { outcome = ok; });
    manager.archiveWithContext(context(), &m_window, QStringLiteral("gone"), QStringLiteral("Gone"));
    ASSERT_TRUE(outcome.has_value());
    EXPECT_FALSE(*outcome);
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->message(), ArchiveManager::BackupErrorMessage);
}

TEST_F(ArchiveManagerTest, restoringTwiceGivesTwoProjectsWithDistinctSettingsAndWritingRecords)
{
    seed();
    const QString path = backup();
    ArchiveManager manager;
    const auto first = manager.importArchive(context(), path, 4);
    const auto second = manager.importArchive(context(), path, 5);
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    const auto a = rows(ProjectSetting::entityName(), *first);
    const auto b = rows(ProjectSetting::entityName(), *second);
    ASSERT_EQ(a.size(), 2);
    ASSERT_EQ(b.size(), 2);
    for (ManagedObject* x : a)
        for (ManagedObject* y : b)
            EXPECT_NE(static_cast<ProjectSetting*>(x)->uniqueIdentifier(),
                      static_cast<ProjectSetting*>(y)->uniqueIdentifier());
    const auto original = rows(ProjectStat::entityName(), ProjectId);
    const auto statsA = rows(ProjectStat::entityName(), *first);
    const auto statsB = rows(ProjectStat::entityName(), *second);
    ASSERT_EQ(original.size(), 1);
    ASSERT_EQ(statsA.size(), 1);
    ASSERT_EQ(statsB.size(), 1);
    const QSet<QString> identifiers = {static_cast<ProjectStat*>(original.first())->uniqueIdentifier(),
                                       static_cast<ProjectStat*>(statsA.first())->uniqueIdentifier(),
                                       static_cast<ProjectStat*>(statsB.first())->uniqueIdentifier()};
    EXPECT_EQ(identifiers.size(), 3) << "each restored writing record is a record of its own";
}

TEST_F(ArchiveManagerTest, restoreWhoseSaveFailsLeavesNothingForTheNextSaveToWrite)
{
    seed();
    const QString path = backup();
    const qint64 items = context()->count(ProjectItem::fetchRequest());
    const qint64 documents = context()->count(ProjectItemDocument::fetchRequest());
    // The writing records are the last the restore inserts: everything before them is already in the context.
    ASSERT_NO_FATAL_FAILURE(executeOnStore("CREATE TRIGGER refuse BEFORE INSERT ON ProjectStat "
                                           "BEGIN SELECT RAISE(ABORT, 'disk refused'); END;"));
    EXPECT_FALSE(ArchiveManager().importArchive(context(), path, 4).has_value());
    EXPECT_FALSE(context()->hasChanges());
    ASSERT_NO_FATAL_FAILURE(executeOnStore("DROP TRIGGER refuse"));

    // An unrelated save afterwards writes only itself, never half a project.
    DbHelpers::getProject(context(), ProjectId)->setProjectTitle(QStringLiteral("Renamed"));
    ASSERT_NO_FATAL_FAILURE(save());
    m_store.reopen();
    EXPECT_EQ(projectCount(), 1);
    EXPECT_EQ(context()->count(ProjectItem::fetchRequest()), items);
    EXPECT_EQ(context()->count(ProjectItemDocument::fetchRequest()), documents);
    EXPECT_EQ(context()->count(ProjectSetting::fetchRequest()), 2);
    EXPECT_EQ(context()->count(ProjectStat::fetchRequest()), 1);
    EXPECT_EQ(DbHelpers::getProject(context(), ProjectId)->projectTitle(), QStringLiteral("Renamed"));
}

TEST_F(ArchiveManagerTest, hostileOrBrokenArchivesAreRefusedWithTheAlertAndLeaveNothing)
{
    const QByteArray empty = "[]";
    const QByteArray bomb(4 << 20, '\0');
    QFile valid(backup());
    ASSERT_TRUE(valid.open(QIODevice::ReadOnly));
    const QByteArray whole = valid.readAll();
    const QString outside = m_dir.filePath(QStringLiteral("outside"));
    QDir().mkpath(outside);

    const QList<std::pair<QString, QList<Entry>>> cases = {
        {QStringLiteral("traversal"),
         {{QStringLiteral("../outside/evil.txt"), "x"},
          {QStringLiteral("project.json"), ValidProject},
          {QStringLiteral("settings.json"), empty},
          {QStringLiteral("stats.json"), empty},
          {QStringLiteral("content.opml"), ValidOpml}}},
        {QStringLiteral("absolute"),
         {{outside + QStringLiteral("/abs.txt"), "x"},
          {QStringLiteral("project.json"), ValidProject},
          {QStringLiteral("settings.json"), empty},
          {QStringLiteral("stats.json"), empty},
          {QStringLiteral("content.opml"), ValidOpml}}},
        {QStringLiteral("bomb"),
         {{QStringLiteral("project.json"), ValidProject},
          {QStringLiteral("settings.json"), empty},
          {QStringLiteral("stats.json"), empty},
          {QStringLiteral("content.opml"), rawDeflate(bomb), 100}}},
        {QStringLiteral("entities"),
         {{QStringLiteral("project.json"), ValidProject},
          {QStringLiteral("settings.json"), empty},
          {QStringLiteral("stats.json"), empty},
          {QStringLiteral("content.opml"), "<!DOCTYPE opml [<!ENTITY a \"aaaa\">]><opml><body>"
                                           "<outline text=\"&a;\"/></body></opml>"}}},
        {QStringLiteral("no content"),
         {{QStringLiteral("project.json"), ValidProject},
          {QStringLiteral("settings.json"), empty},
          {QStringLiteral("stats.json"), empty}}},
        {QStringLiteral("broken content"),
         {{QStringLiteral("project.json"), ValidProject},
          {QStringLiteral("settings.json"), empty},
          {QStringLiteral("stats.json"), empty},
          {QStringLiteral("content.opml"), "<opml><body><outline>"}}},
        {QStringLiteral("settings not strings"),
         {{QStringLiteral("project.json"), ValidProject},
          {QStringLiteral("settings.json"), "[{\"name\": 1}]"},
          {QStringLiteral("stats.json"), empty},
          {QStringLiteral("content.opml"), ValidOpml}}},
        {QStringLiteral("project without title"),
         {{QStringLiteral("project.json"), "{\"uniqueIdentifier\": \"U\"}"},
          {QStringLiteral("settings.json"), empty},
          {QStringLiteral("stats.json"), empty},
          {QStringLiteral("content.opml"), ValidOpml}}},
    };
    SSZipArchive::Limits zipLimits;
    ArchiveManager::RestoreLimits limits;
    limits.zip.maxTotalBytes = 1 << 20;
    for (const auto& [name, entries] : cases) {
        SCOPED_TRACE(name.toStdString());
        const QString path = m_dir.filePath(name + QStringLiteral(".zip"));
        ASSERT_NO_FATAL_FAILURE(writeZip(path, entries));
        EXPECT_FALSE(restoreThroughPicker(path));
        ASSERT_NE(Alert::topmost(), nullptr);
        EXPECT_EQ(Alert::topmost()->title(), ArchiveManager::ErrorTitle);
        EXPECT_EQ(Alert::topmost()->message(), ArchiveManager::RestoreErrorMessage);
        Alert::topmost()->trigger(0);
        EXPECT_FALSE(ArchiveManager().importArchive(context(), path, 1).has_value());
        ArchiveManager small;
        small.setRestoreLimits(limits);
        EXPECT_FALSE(small.importArchive(context(), path, 1).has_value());
    }
    const QString truncated = m_dir.filePath(QStringLiteral("truncated.zip"));
    QFile cut(truncated);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.left(whole.size() / 2));
    cut.close();
    EXPECT_FALSE(restoreThroughPicker(truncated));
    EXPECT_EQ(projectCount(), 1);
    EXPECT_EQ(context()->count(ProjectItem::fetchRequest()), 0);
    EXPECT_EQ(context()->count(ProjectItemDocument::fetchRequest()), 0);
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_TRUE(QDir(outside).isEmpty());
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("evil.txt"))));
}

TEST_F(ArchiveManagerTest, aFileThatCannotBeReadOrNoWorkFolderGetsTheSpaceAlertWithTheSystemsWords)
{
    const QString gone = m_dir.filePath(QStringLiteral("Gone.zip"));
    const QString folder = m_dir.filePath(QStringLiteral("Folder.zip"));
    QDir().mkpath(folder);
    const QString spaceAlert =
        QStringLiteral("Unable to restore project. Please ensure you have sufficient space on your device.\r\n");
    for (const auto& [path, words] : {std::pair{gone, QStringLiteral("No such file or directory")},
                                      std::pair{folder, QStringLiteral("file to open is a directory")}}) {
        EXPECT_FALSE(restoreThroughPicker(path)) << path.toStdString();
        ASSERT_NE(Alert::topmost(), nullptr);
        EXPECT_EQ(Alert::topmost()->title(), ArchiveManager::ErrorTitle);
        EXPECT_EQ(Alert::topmost()->message(), spaceAlert + words);
        Alert::topmost()->trigger(0);
    }

    // A sound backup, but where the system's temporary folder should be there is a file: no work folder.
    const QString archive = backup();
    const QString notAFolder = m_dir.filePath(QStringLiteral("tmp"));
    QFile blocker(notAFolder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const bool hadTmp = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", notAFolder.toLocal8Bit());
    const bool restored = restoreThroughPicker(archive);
    if (hadTmp)
        qputenv("TMPDIR", savedTmp);
    else
        qunsetenv("TMPDIR");
    EXPECT_FALSE(restored);
    ASSERT_NE(Alert::topmost(), nullptr);
    EXPECT_EQ(Alert::topmost()->message(), spaceAlert + QStringLiteral("Not a directory"));
    Alert::topmost()->trigger(0);
    EXPECT_EQ(projectCount(), 1);
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(ArchiveManagerTest, aCancelledPickerRestoresNothingAndSaysNothing)
{
    DocumentPicker::setPickChooser(
        [](QWidget*, const QString&, const QStringList&, DocumentPicker::Done done) { done(std::nullopt); });
    ArchiveManager manager;
    bool finished = false;
    QObject::connect(&manager, &ArchiveManager::restoreFinished, [&](bool) { finished = true; });
    manager.unarchiveWithContext(context(), &m_window, 7, {});
    EXPECT_FALSE(finished);
    EXPECT_EQ(Alert::topmost(), nullptr);
    EXPECT_EQ(projectCount(), 1);
}

TEST_F(ArchiveManagerTest, emptyRecordsRestoreAndTheCompletionRuns)
{
    const QString path = m_dir.filePath(QStringLiteral("Plain.zip"));
    // An image member without bytes: the restored project has no image at all.
    writeZip(path, {{QStringLiteral("project.json"),
                     "{\"projectTitle\": \"T\", \"uniqueIdentifier\": \"U\", \"image\": \"\"}"},
                    {QStringLiteral("settings.json"), "[]"},
                    {QStringLiteral("stats.json"), "[]"},
                    {QStringLiteral("content.opml"), ValidOpml}});
    EXPECT_TRUE(restoreThroughPicker(path));
    EXPECT_EQ(projectCount(), 2);
    EXPECT_EQ(context()->count(ProjectItem::fetchRequest()), 1);
    EXPECT_EQ(storedRows(m_store.path(), "SELECT COUNT(*) FROM Project WHERE image IS NOT NULL"),
              QStringList{QStringLiteral("1")});
}

TEST_F(ArchiveManagerTest, backupNestedToTheDepthLimitRestoresWholeAndOneLevelDeeperIsRefused)
{
    // opml, body, the folder and the story in it: four levels, and more elements than that in all.
    seed();
    const QString path = backup();
    ArchiveManager::RestoreLimits limits;
    limits.opml.maxDepth = 3;
    ArchiveManager tooShallow;
    tooShallow.setRestoreLimits(limits);
    EXPECT_FALSE(tooShallow.importArchive(context(), path, 1).has_value());
    EXPECT_EQ(projectCount(), 1);
    limits.opml.maxDepth = 4;
    ArchiveManager exact;
    exact.setRestoreLimits(limits);
    const std::optional<QString> restored = exact.importArchive(context(), path, 1);
    ASSERT_TRUE(restored.has_value());
    EXPECT_EQ(rows(QStringLiteral("ProjectItem"), *restored).size(), 4);
}

TEST_F(ArchiveManagerTest, aRecordOfExactlyTheLimitRestoresAndOneByteMoreIsRefused)
{
    const QString path = m_dir.filePath(QStringLiteral("Limit.zip"));
    ASSERT_NO_FATAL_FAILURE(writeZip(path, {{QStringLiteral("project.json"), ValidProject},
                                            {QStringLiteral("settings.json"), "[]"},
                                            {QStringLiteral("stats.json"), "[]"},
                                            {QStringLiteral("content.opml"), ValidOpml}}));
    ArchiveManager::RestoreLimits limits;
    limits.maxRecordBytes = ValidProject.size() - 1;
    ArchiveManager under;
    under.setRestoreLimits(limits);
    EXPECT_FALSE(under.importArchive(context(), path, 1).has_value());
    EXPECT_EQ(projectCount(), 1);
    limits.maxRecordBytes = ValidProject.size();
    ArchiveManager exact;
    exact.setRestoreLimits(limits);
    EXPECT_TRUE(exact.importArchive(context(), path, 1).has_value());
    EXPECT_EQ(projectCount(), 2);
}
