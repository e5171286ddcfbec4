#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

class ManagedObjectContext;
class ProjectSetting;

// One entry of a backup's "settings.json": a per-project setting, all four values as strings.
class SettingArchiveObject {
public:
    static inline const QString ProjectIdKey = QStringLiteral("projectId");
    static inline const QString NameKey = QStringLiteral("name");
    static inline const QString ValueKey = QStringLiteral("value");
    static inline const QString UniqueIdentifierKey = QStringLiteral("uniqueIdentifier");

    // Missing values are written as empty texts, so a damaged row never stops a backup.
    explicit SettingArchiveObject(const ProjectSetting& setting);
    // nullopt for an entry that is not an object of strings or lacks one of its four keys.
    static std::optional<SettingArchiveObject> fromDictionary(const QJsonValue& entry);

    QJsonObject toDictionary() const;
    // A new setting of the project, under a new identifier of its own.
    ProjectSetting* insert(ManagedObjectContext* context, const QString& newProjectId) const;

    QString projectId;
    QString name;
    QString value;
    QString uniqueIdentifier;

private:
    SettingArchiveObject() = default;
};
