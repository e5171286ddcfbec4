#include "ProjectArchiveObject.h"

#include "ArchiveValues.h"
#include "core/Project.h"
#include "platform/store/ManagedObjectContext.h"

#include <QJsonDocument>
#include <QJsonObject>

ProjectArchiveObject::ProjectArchiveObject(const Project& project, const QDateTime& now)
    : displayOrder(project.displayOrder()),
      lastModified(project.lastModified().isValid() ? project.lastModified() : now),
      linkedPath(ArchiveValues::orEmpty(project.linkedPath())),
      projectDate(project.projectDate().isValid() ? project.projectDate() : now), projectTitle(project.projectTitle()),
      projectType(project.projectType()), uniqueIdentifier(project.uniqueIdentifier())
{
    if (!project.image().isEmpty())
        image = project.image();
}

std::optional<ProjectArchiveObject> ProjectArchiveObject::fromJsonData(const QByteArray& data, const QDateTime& now)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const std::optional<QString> title = ArchiveValues::string(object, ProjectTitleKey);
    const std::optional<QString> identifier = ArchiveValues::string(object, UniqueIdentifierKey);
    if (!ArchiveValues::allStrings(object) || !title || !identifier)
        return std::nullopt;
    ProjectArchiveObject record;
    record.displayOrder = ArchiveValues::integer(object, DisplayOrderKey);
    if (object.contains(ImageKey))
        record.image = ArchiveValues::base64(object.value(ImageKey).toString());
    record.lastModified = ArchiveValues::date(object, LastModifiedKey, now);
    record.linkedPath = ArchiveValues::string(object, LinkedPathKey).value_or(QString(QLatin1String("")));
    record.projectDate = ArchiveValues::date(object, ProjectDateKey, now);
    record.projectTitle = *title;
    record.projectType = ArchiveValues::integer(object, ProjectTypeKey);
    record.uniqueIdentifier = *identifier;
    return record;
}

QByteArray ProjectArchiveObject::jsonData() const
{
    QJsonObject object{
        {DisplayOrderKey, QString::number(displayOrder)},
        {LastModifiedKey, ArchiveValues::dateText(lastModified)},
        {LinkedPathKey, linkedPath},
        {ProjectDateKey, ArchiveValues::dateText(projectDate)},
        {ProjectTitleKey, ArchiveValues::orEmpty(projectTitle)},
        {ProjectTypeKey, QString::number(projectType)},
        {UniqueIdentifierKey, ArchiveValues::orEmpty(uniqueIdentifier)},
    };
    if (image && !image->isEmpty())
        object.insert(ImageKey, QString::fromLatin1(image->toBase64()));
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

Project* ProjectArchiveObject::insertProject(ManagedObjectContext* context, const QString& projectId,
                                             const QString& title, qint64 order) const
{
    auto* project = context->insertNew<Project>();
    project->setUniqueIdentifier(projectId);
    project->setDisplayOrder(order);
    if (image && !image->isEmpty())
        project->setImage(*image);
    project->setLastModified(lastModified);
    project->setLinkedPath(linkedPath);
    project->setProjectDate(projectDate);
    project->setProjectTitle(title);
    project->setProjectType(projectType);
    return project;
}
