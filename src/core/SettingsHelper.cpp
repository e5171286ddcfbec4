#include "SettingsHelper.h"

#include "ProjectSetting.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"

#include <QDebug>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The stored text of a record, or nothing when there is no record or its value is nil.
std::optional<QString> storedText(ManagedObjectContext* context, const QString& projectId, const QString& key)
{
    const ProjectSetting* setting = SettingsHelper::fetchSetting(context, projectId, key);
    if (!setting)
        return std::nullopt;
    const QVariant value = setting->ManagedObject::value(ProjectSetting::ValueKey);
    if (value.isNull() || value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

QList<ProjectSetting*> fetchWith(ManagedObjectContext* context, const Predicate& predicate)
{
    QList<ProjectSetting*> settings;
    if (!context)
        return settings;
    FetchRequest request = ProjectSetting::fetchRequest();
    request.setPredicate(predicate);
    StoreError error;
    const QList<ManagedObject*> objects = context->fetch(request, &error);
    if (objects.isEmpty() && !error.message.isEmpty())
        qWarning().noquote() << "Settings fetch failed:" << error.description();
    for (ManagedObject* object : objects) {
        if (auto* setting = dynamic_cast<ProjectSetting*>(object))
            settings.append(setting);
    }
    return settings;
}

// Saved records by age (their primary key grows with each insert), then unsaved ones in insertion order.
bool isOlder(const ProjectSetting* left, const ProjectSetting* right)
{
    const qint64 leftKey = left->primaryKey();
    const qint64 rightKey = right->primaryKey();
    if (leftKey == 0 || rightKey == 0)
        return leftKey != 0 && rightKey == 0;
    return leftKey < rightKey;
}

qsizetype skipBlanks(const QString& text)
{
    qsizetype index = 0;
    while (index < text.size() && text.at(index).isSpace())
        ++index;
    return index;
}

}  // namespace

qint64 SettingsHelper::getWordTarget(ManagedObjectContext* context, const QString& projectId)
{
    return getIntValue(context, projectId, WordTargetKey, DefaultWordTarget);
}

qint64 SettingsHelper::getWordsPerPage(ManagedObjectContext* context, const QString& projectId)
{
    return getIntValue(context, projectId, WordsPerPageKey, DefaultWordsPerPage);
}

bool SettingsHelper::getSmartQuotesConversion(ManagedObjectContext* context, const QString& projectId)
{
    return getBoolValue(context, projectId, SmartQuotesConversionKey, DefaultSmartQuotesConversion);
}

bool SettingsHelper::getWideGutters(ManagedObjectContext* context, const QString& projectId)
{
    return getBoolValue(context, projectId, WideGuttersKey, DefaultWideGutters);
}

bool SettingsHelper::getAutoIndent(ManagedObjectContext* context, const QString& projectId)
{
    return getBoolValue(context, projectId, AutoIndentKey, DefaultAutoIndent);
}

QString SettingsHelper::getSceneSeparator(ManagedObjectContext* context, const QString& projectId)
{
    return getTextValue(context, projectId, SceneSeparatorKey, DefaultSceneSeparator);
}

bool SettingsHelper::getIncludeBlankScenes(ManagedObjectContext* context, const QString& projectId)
{
    return getBoolValue(context, projectId, IncludeBlankScenesKey, DefaultIncludeBlankScenes);
}

ProjectSetting* SettingsHelper::fetchSetting(
    ManagedObjectContext* context, const QString& projectId, const QString& name)
{
    // Identifier and key travel as bound values: no text in them can change what the lookup matches.
    QList<ProjectSetting*> settings = fetchWith(
        context, Predicate::parse(QStringLiteral("(projectId == %@) AND (name == %@)"), { projectId, name }));
    if (settings.isEmpty())
        return nullptr;
    std::stable_sort(settings.begin(), settings.end(), isOlder);
    return settings.first();
}

qint64 SettingsHelper::getIntValue(
    ManagedObjectContext* context, const QString& projectId, const QString& key, qint64 defaultValue)
{
    const std::optional<QString> text = storedText(context, projectId, key);
    return text ? intFromText(*text) : defaultValue;
}

bool SettingsHelper::getBoolValue(
    ManagedObjectContext* context, const QString& projectId, const QString& key, bool defaultValue)
{
    const std::optional<QString> text = storedText(context, projectId, key);
    return text ? boolFromText(*text) : defaultValue;
}

QString SettingsHelper::getTextValue(
    ManagedObjectContext* context, const QString& projectId, const QString& key, const QString& defaultValue)
{
    return storedText(context, projectId, key).value_or(defaultValue);
}

QDateTime SettingsHelper::getDateValue(ManagedObjectContext* context, const QString& projectId, const QString& key)
{
    const std::optional<QString> text = storedText(context, projectId, key);
    const double seconds = text ? doubleFromText(*text) : 0.0;
    const double milliseconds = std::round(seconds * 1000.0);
    // A value beyond what a date can hold reads as the epoch, like a value that does not parse.
    if (!std::isfinite(milliseconds) || std::abs(milliseconds) > 1e17)
        return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    return QDateTime::fromMSecsSinceEpoch(qint64(milliseconds), Qt::UTC);
}

bool SettingsHelper::setValue(
    ManagedObjectContext* context, const QString& projectId, const QString& key, const QString& value, bool deferSave)
{
    if (!context)
        return false;
    ProjectSetting* setting = fetchSetting(context, projectId, key);
    if (!setting) {
        setting = context->insertNew<ProjectSetting>();
        if (!setting)
            return false;
        setting->setUniqueIdentifier(Uuid::uuidString());
        setting->setProjectId(projectId);
        setting->setName(key);
    }
    setting->setValue(value);
    if (deferSave)
        return true;
    return !saveContext(context).has_value();
}

std::optional<StoreError> SettingsHelper::saveContext(ManagedObjectContext* context)
{
    if (!context)
        return StoreError { QStringLiteral("No store context to save."), 0 };
    return context->save();
}

QList<ProjectSetting*> SettingsHelper::fetchSettings(const QString& projectId, ManagedObjectContext* context)
{
    return fetchWith(context, Predicate::parse(QStringLiteral("projectId == %@"), { projectId }));
}

QString SettingsHelper::textFromBool(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString SettingsHelper::textFromInt(qint64 value)
{
    return QString::number(value);
}

QString SettingsHelper::textFromDate(const QDateTime& value)
{
    const double seconds = double(value.toMSecsSinceEpoch()) / 1000.0;
    return QString::number(seconds, 'f', 3);
}

qint64 SettingsHelper::intFromText(const QString& text)
{
    qsizetype index = skipBlanks(text);
    bool negative = false;
    if (index < text.size() && (text.at(index) == u'-' || text.at(index) == u'+'))
        negative = text.at(index++) == u'-';
    // Accumulated as a negative number so that the smallest value fits; overflow saturates.
    qint64 value = 0;
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    for (; index < text.size() && text.at(index) >= u'0' && text.at(index) <= u'9'; ++index) {
        const int digit = text.at(index).unicode() - u'0';
        if (value < (lowest + digit) / 10) {
            value = lowest;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    return value == lowest ? std::numeric_limits<qint64>::max() : -value;
}

bool SettingsHelper::boolFromText(const QString& text)
{
    qsizetype index = skipBlanks(text);
    if (index < text.size() && (text.at(index) == u'-' || text.at(index) == u'+'))
        ++index;
    while (index < text.size() && text.at(index) == u'0')
        ++index;
    if (index >= text.size())
        return false;
    const QChar first = text.at(index);
    return first == u'Y' || first == u'y' || first == u'T' || first == u't' || (first >= u'1' && first <= u'9');
}

double SettingsHelper::doubleFromText(const QString& text)
{
    // The longest leading part that reads as a decimal number: sign, digits, fraction, exponent.
    const qsizetype start = skipBlanks(text);
    qsizetype end = start;
    const auto digitAt = [&](qsizetype at) { return at < text.size() && text.at(at) >= u'0' && text.at(at) <= u'9'; };
    if (end < text.size() && (text.at(end) == u'-' || text.at(end) == u'+'))
        ++end;
    qsizetype digits = 0;
    while (digitAt(end)) {
        ++end;
        ++digits;
    }
    if (end < text.size() && text.at(end) == u'.') {
        ++end;
        while (digitAt(end)) {
            ++end;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    if (end < text.size() && (text.at(end) == u'e' || text.at(end) == u'E')) {
        qsizetype exponent = end + 1;
        if (exponent < text.size() && (text.at(exponent) == u'-' || text.at(exponent) == u'+'))
            ++exponent;
        if (digitAt(exponent)) {
            while (digitAt(exponent))
                ++exponent;
            end = exponent;
        }
    }
    bool ok = false;
    const double value = QStringView(text).mid(start, end - start).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}
