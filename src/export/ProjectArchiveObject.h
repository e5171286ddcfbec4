#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

class ManagedObjectContext;
class Project;

// The project record of a backup ("project.json"): one JSON object whose values are all strings.
class ProjectArchiveObject {
public:
    static inline const QString DisplayOrderKey = QStringLiteral("displayOrder");
    static inline const QString ImageKey = QStringLiteral("image");
    static inline const QString LastModifiedKey = QStringLiteral("lastModified");
    static inline const QString LinkedPathKey = QStringLiteral("linkedPath");
    static inline const QString ProjectDateKey = QStringLiteral("projectDate");
    static inline const QString ProjectTitleKey = QStringLiteral("projectTitle");
    static inline const QString ProjectTypeKey = QStringLiteral("projectType");
    static inline const QString UniqueIdentifierKey = QStringLiteral("uniqueIdentifier");

    // From a stored project; missing numbers read 0, missing dates now, a missing path "".
    explicit ProjectArchiveObject(const Project& project, const QDateTime& now = QDateTime::currentDateTime());
    // From the bytes of "project.json"; nullopt for text that is not JSON, not an object of strings, or lacks
    // the title or the identifier.
    static std::optional<ProjectArchiveObject> fromJsonData(const QByteArray& data,
                                                            const QDateTime& now = QDateTime::currentDateTime());

    QByteArray jsonData() const;
    // A new project row with the given identifier, title and display order and the archived rest.
    Project* insertProject(ManagedObjectContext* context, const QString& projectId, const QString& title,
                           qint64 displayOrder) const;

    qint64 displayOrder = 0;
    std::optional<QByteArray> image;
    QDateTime lastModified;
    QString linkedPath;
    QDateTime projectDate;
    QString projectTitle;
    qint64 projectType = 0;
    QString uniqueIdentifier;

private:
    ProjectArchiveObject() = default;
};
