#include "ArchiveManager.h"

#include "ExportStaging.h"
#include "FilePaths.h"
#include "Opml.h"
#include "ProjectArchiveObject.h"
#include "SettingArchiveObject.h"
#include "StatArchiveObject.h"
#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/Project.h"
#include "core/ProjectSetting.h"
#include "core/ProjectStat.h"
#include "core/StoreConstants.h"
#include "platform/Alert.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/DocumentPicker.h"
#include "platform/ProgressHud.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QTemporaryDir>

namespace {

// Every row of the entity that carries the project id; nullopt when the fetch failed.
std::optional<QList<ManagedObject*>> projectRows(ManagedObjectContext* context, const QString& entity,
                                                 const QString& projectId)
{
    FetchRequest request(entity);
    request.setPredicate(QStringLiteral("projectId == %@"), {projectId});
    StoreError error;
    error.sqliteCode = 0;
    QList<ManagedObject*> rows = context->fetch(request, &error);
    if (!error.message.isEmpty())
        return std::nullopt;
    return rows;
}

template <class Record, class Row>
std::optional<QByteArray> entityJson(ManagedObjectContext* context, const QString& projectId)
{
    const auto rows = projectRows(context, Row::entityName(), projectId);
    if (!rows)
        return std::nullopt;
    QJsonArray array;
    for (ManagedObject* row : *rows)
        array.append(Record(*static_cast<Row*>(row)).toDictionary());
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

std::optional<QByteArray> readSmallFile(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
        return std::nullopt;
    return file.readAll();
}

// Every entry of a JSON array member, or nullopt when the member is no array of valid entries.
template <class Record> std::optional<QList<Record>> recordsFrom(const std::optional<QByteArray>& data)
{
    if (!data)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<Record> records;
    for (const QJsonValue& entry : document.array()) {
        std::optional<Record> record = Record::fromDictionary(entry);
        if (!record)
            return std::nullopt;
        records.append(*record);
    }
    return records;
}

} // namespace

ArchiveManager::ArchiveManager(QObject* parent) : QObject(parent)
{
}

QString ArchiveManager::backupBaseName(const QString& title, const QDate& date, const QLocale& locale)
{
    return Helpers::sanitizeFileNameString(title) + BackupInfix + locale.toString(date, BackupDatePattern);
}

// --- Backup

bool ArchiveManager::performArchive(ManagedObjectContext* context, const QString& projectId, const QString& title,
                                    const QString& zipPath) const
{
    Project* project = context ? DbHelpers::getProject(context, projectId) : nullptr;
    if (!project)
        return false;
    const QByteArray projectJson = ProjectArchiveObject(*project).jsonData();
    const auto settingsJson = entityJson<SettingArchiveObject, ProjectSetting>(context, projectId);
    const auto statsJson = entityJson<StatArchiveObject, ProjectStat>(context, projectId);
    if (!settingsJson || !statsJson)
        return false;
    // The outline goes to a work file as it is written, so the project is never held as one text.
    QTemporaryDir work(FilePaths::child(QFileInfo(zipPath).path(), QStringLiteral("work-XXXXXX")));
    if (!work.isValid())
        return false;
    QFile content(FilePaths::child(work.path(), ContentMember));
    if (!content.open(QIODevice::WriteOnly) ||
        !Opml().writeOpml(content, context, projectId, title, ItemIds::Top, true) || !content.flush())
        return false;
    content.close();
    return ExportStaging::produceFile(zipPath, [&](const QString& staged) {
        SSZipArchive zip(staged);
        return zip.open() && zip.writeData(projectJson, ProjectMember) &&
               zip.writeData(*settingsJson, SettingsMember) && zip.writeData(*statsJson, StatsMember) &&
               zip.writeFile(ContentMember, work.path()) && zip.close();
    });
}

void ArchiveManager::archiveWithContext(ManagedObjectContext* context, QWidget* viewController,
                                        const QString& projectId, const QString& title)
{
    const QString folder = ExportStaging::privateExportFolder();
    const QString fileName = backupBaseName(title, QDate::currentDate(), QLocale()) + QLatin1Char('.') + ZipExtension;
    const QString zipPath = FilePaths::child(folder, fileName);
    const bool built = !folder.isEmpty() && performArchive(context, projectId, title, zipPath);
    ProgressHud::dismiss();
    if (!built) {
        if (!folder.isEmpty())
            QDir(folder).removeRecursively();
        showAlert(viewController, ErrorTitle, BackupErrorMessage);
        emit backupFinished(false);
        return;
    }
    offerBackup(viewController, folder, zipPath);
}

void ArchiveManager::offerBackup(QWidget* parent, const QString& folder, const QString& zipPath)
{
    QPointer<QWidget> presenter(parent);
    QPointer<ArchiveManager> self(this);
    DocumentPicker::exportDocument(parent, QFileInfo(zipPath).fileName(),
                                   [self, presenter, folder, zipPath](const std::optional<QString>& destination) {
                                       // The panel asked before replacing a file, so the backup goes exactly
                                       // where the writer chose: whole, in one rename, or not at all.
                                       const bool placed =
                                           destination && ExportStaging::copyInto(zipPath, *destination);
                                       QDir(folder).removeRecursively();
                                       if (destination)
                                           showAlert(presenter, placed ? BackupDoneTitle : ErrorTitle,
                                                     placed ? BackupDoneMessage : BackupErrorMessage);
                                       if (self)
                                           emit self->backupFinished(placed);
                                   });
}

// --- Restore

void ArchiveManager::unarchiveWithContext(ManagedObjectContext* context, QWidget* viewController, qint64 displayOrder,
                                          std::function<void()> completion)
{
    QPointer<ArchiveManager> self(this);
    QPointer<QWidget> presenter(viewController);
    QPointer<ManagedObjectContext> store(context);
    DocumentPicker::pickDocument(
        viewController, RestorePanelTitle, {ZipNameFilter},
        [self, presenter, store, displayOrder, completion](const std::optional<QString>& path) {
            if (!path || !self)
                return;
            ProgressHud::show();
            Dispatch::after(
                Delays::scaled(RestoreDelayMs), [self, presenter, store, displayOrder, completion, path = *path] {
                    QString fileError;
                    const bool restored =
                        self && store && self->importArchive(store, path, displayOrder, &fileError).has_value();
                    ProgressHud::dismiss();
                    if (!restored)
                        showAlert(presenter, ErrorTitle, restoreErrorText(fileError));
                    else if (completion)
                        completion();
                    if (self)
                        emit self->restoreFinished(restored);
                });
        });
}

QString ArchiveManager::restoreErrorText(const QString& fileError)
{
    return fileError.isEmpty() ? RestoreErrorMessage : RestoreSpaceErrorMessage + fileError;
}

std::optional<QString> ArchiveManager::importArchive(ManagedObjectContext* context, const QString& path,
                                                     qint64 displayOrder, QString* fileError) const
{
    if (!context)
        return std::nullopt;
    const auto failed = [fileError](const QString& description) {
        if (fileError)
            *fileError = description;
        return std::nullopt;
    };
    // A file that cannot even be opened is no fault of the archive: the writer hears what the system said.
    if (QFile file(path); !file.open(QIODevice::ReadOnly))
        return failed(file.errorString());
    QTemporaryDir work;
    if (!work.isValid())
        return failed(work.errorString());
    const QStringList members = {ProjectMember, SettingsMember, StatsMember, ContentMember};
    SSZipArchive::Error zipError;
    if (!SSZipArchive::extractEntries(path, members, work.path(), m_limits.zip, &zipError)) {
        qWarning().noquote() << zipError.description;
        return std::nullopt;
    }
    const auto member = [&](const QString& name) {
        return readSmallFile(FilePaths::child(work.path(), name), m_limits.maxRecordBytes);
    };
    const std::optional<QByteArray> projectData = member(ProjectMember);
    const std::optional<ProjectArchiveObject> project =
        projectData ? ProjectArchiveObject::fromJsonData(*projectData) : std::nullopt;
    const auto settings = recordsFrom<SettingArchiveObject>(member(SettingsMember));
    const auto stats = recordsFrom<StatArchiveObject>(member(StatsMember));
    if (!project || !settings || !stats)
        return std::nullopt;

    const QString projectId = Uuid::uuidString();
    Opml::ImportResult outlines = Opml().importOpml(context, FilePaths::child(work.path(), ContentMember), projectId,
                                                    ItemIds::Top, 0, m_limits.opml);
    if (outlines.error)
        return std::nullopt;
    QList<ManagedObject*> inserted = outlines.inserted;
    inserted.append(project->insertProject(context, projectId, QFileInfo(path).completeBaseName(), displayOrder));
    for (const SettingArchiveObject& setting : *settings)
        inserted.append(setting.insert(context, projectId));
    for (const StatArchiveObject& stat : *stats)
        inserted.append(stat.insert(context, projectId));
    if (!Opml::storeInserted(context, inserted))
        return std::nullopt;
    return projectId;
}

void ArchiveManager::showAlert(QWidget* parent, const QString& title, const QString& message)
{
    auto* alert = new Alert(title, message);
    alert->addAction(OkTitle);
    alert->present(parent);
}
