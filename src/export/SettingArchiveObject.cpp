#include "SettingArchiveObject.h"

#include "ArchiveValues.h"
#include "core/ProjectSetting.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"

SettingArchiveObject::SettingArchiveObject(const ProjectSetting& setting)
    : projectId(ArchiveValues::orEmpty(setting.projectId())), name(ArchiveValues::orEmpty(setting.name())),
      value(ArchiveValues::orEmpty(setting.value())),
      uniqueIdentifier(ArchiveValues::orEmpty(setting.uniqueIdentifier()))
{
}

std::optional<SettingArchiveObject> SettingArchiveObject::fromDictionary(const QJsonValue& entry)
{
    const QJsonObject object = entry.toObject();
    if (!entry.isObject() || !ArchiveValues::allStrings(object))
        return std::nullopt;
    const auto projectId = ArchiveValues::string(object, ProjectIdKey);
    const auto name = ArchiveValues::string(object, NameKey);
    const auto value = ArchiveValues::string(object, ValueKey);
    const auto identifier = ArchiveValues::string(object, UniqueIdentifierKey);
    if (!projectId || !name || !value || !identifier)
        return std::nullopt;
    SettingArchiveObject record;
    record.projectId = *projectId;
    record.name = *name;
    record.value = *value;
    record.uniqueIdentifier = *identifier;
    return record;
}

QJsonObject SettingArchiveObject::toDictionary() const
{
    return {{ProjectIdKey, projectId}, {NameKey, name}, {ValueKey, value}, {UniqueIdentifierKey, uniqueIdentifier}};
}

ProjectSetting* SettingArchiveObject::insert(ManagedObjectContext* context, const QString& newProjectId) const
{
    auto* setting = context->insertNew<ProjectSetting>();
    // Two restores of one archive must not give two projects' settings the same identifier.
    setting->setUniqueIdentifier(Uuid::uuidString());
    setting->setProjectId(newProjectId);
    setting->setName(name);
    setting->setValue(value);
    return setting;
}
