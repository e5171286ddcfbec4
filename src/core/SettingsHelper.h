#pragma once

#include "platform/store/StoreError.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class ManagedObjectContext;
class ProjectSetting;

// Per-project settings kept as text in ProjectSetting records: typed reads with defaults, and writes
// that update the project's record of a key or insert one.
class SettingsHelper {
public:
    static inline const QString WordTargetKey = QStringLiteral("WordTarget");
    static inline const QString WordsPerPageKey = QStringLiteral("WordsPerPage");
    static inline const QString SmartQuotesConversionKey = QStringLiteral("SmartQuotesConversion");
    static inline const QString WideGuttersKey = QStringLiteral("WideGutters");
    static inline const QString SceneSeparatorKey = QStringLiteral("SceneSeparator");
    static inline const QString IncludeBlankScenesKey = QStringLiteral("IncludeBlankScenes");
    static inline const QString AutoIndentKey = QStringLiteral("AutoIndent");
    // Earned achievements are stored under this prefix followed by the achievement's id.
    static inline const QString AchievementKeyPrefix = QStringLiteral("achievement.");

    static constexpr qint64 DefaultWordTarget = 0;
    static constexpr qint64 DefaultWordsPerPage = 330;
    static constexpr bool DefaultSmartQuotesConversion = true;
    static constexpr bool DefaultWideGutters = true;
    static inline const QString DefaultSceneSeparator = QStringLiteral("###");
    static constexpr bool DefaultIncludeBlankScenes = true;
    static constexpr bool DefaultAutoIndent = false;

    static qint64 getWordTarget(ManagedObjectContext* context, const QString& projectId);
    static qint64 getWordsPerPage(ManagedObjectContext* context, const QString& projectId);
    static bool getSmartQuotesConversion(ManagedObjectContext* context, const QString& projectId);
    static bool getWideGutters(ManagedObjectContext* context, const QString& projectId);
    static bool getAutoIndent(ManagedObjectContext* context, const QString& projectId);
    static QString getSceneSeparator(ManagedObjectContext* context, const QString& projectId);
    static bool getIncludeBlankScenes(ManagedObjectContext* context, const QString& projectId);

    // The project's record of the key, or nullptr. Of several records the oldest is taken, so every
    // reader agrees on one value until the duplicates are merged.
    static ProjectSetting* fetchSetting(ManagedObjectContext* context, const QString& projectId, const QString& name);
    static qint64 getIntValue(
        ManagedObjectContext* context, const QString& projectId, const QString& key, qint64 defaultValue);
    static bool getBoolValue(
        ManagedObjectContext* context, const QString& projectId, const QString& key, bool defaultValue);
    static QString getTextValue(
        ManagedObjectContext* context, const QString& projectId, const QString& key, const QString& defaultValue);
    // The stored moment; 1 January 1970 when there is none.
    static QDateTime getDateValue(ManagedObjectContext* context, const QString& projectId, const QString& key);

    // Writes the text under the key, inserting the record when there is none. With deferSave the
    // change waits in the context for the caller's save; otherwise it is saved now, and false means the
    // save failed (the change then stays pending in the context).
    static bool setValue(ManagedObjectContext* context, const QString& projectId, const QString& key,
        const QString& value, bool deferSave = false);
    static std::optional<StoreError> saveContext(ManagedObjectContext* context);
    // Every setting record of the project, in no particular order.
    static QList<ProjectSetting*> fetchSettings(const QString& projectId, ManagedObjectContext* context);

    // The stored text forms of values.
    static QString textFromBool(bool value);
    static QString textFromInt(qint64 value);
    static QString textFromDate(const QDateTime& value);
    // Reads as Foundation reads text values: leading blanks skipped, then the leading number.
    static qint64 intFromText(const QString& text);
    static bool boolFromText(const QString& text);
    static double doubleFromText(const QString& text);
};
