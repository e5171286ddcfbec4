#include "UserDefaults.h"

#include <QMutexLocker>

#include <cmath>
#include <limits>
#include <optional>

namespace {

bool isTextual(const QVariant& value)
{
    const int type = value.typeId();
    return type == QMetaType::QString || type == QMetaType::QByteArray || type == QMetaType::QChar;
}

// Words an ini file or a hand-edited preference may use for a switch.
std::optional<bool> boolFromWord(const QString& text)
{
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("true") || word == QLatin1String("yes"))
        return true;
    if (word == QLatin1String("false") || word == QLatin1String("no") || word.isEmpty())
        return false;
    return std::nullopt;
}

std::optional<double> numberFromText(const QString& text)
{
    if (const std::optional<bool> flag = boolFromWord(text); flag && !text.trimmed().isEmpty())
        return *flag ? 1.0 : 0.0;
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

// Out-of-range values saturate rather than overflow in the conversion.
qint64 clampedInteger(double number)
{
    constexpr double limit = 9223372036854775807.0;
    if (number >= limit)
        return std::numeric_limits<qint64>::max();
    if (number <= -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(number);
}

} // namespace

UserDefaults& UserDefaults::standard()
{
    // Built on first use, after main has named the application and chosen the settings location.
    static UserDefaults defaults(std::make_unique<QSettings>());
    return defaults;
}

UserDefaults::UserDefaults(const QString& path, QObject* parent)
    : QObject(parent)
    , m_settings(std::make_unique<QSettings>(path, QSettings::IniFormat))
{
}

UserDefaults::UserDefaults(std::unique_ptr<QSettings> settings)
    : m_settings(std::move(settings))
{
}

UserDefaults::~UserDefaults() = default;

void UserDefaults::registerDefaults(const QVariantMap& defaults)
{
    QMutexLocker locker(&m_mutex);
    m_registered.insert(defaults);
}

QVariant UserDefaults::value(const QString& key) const
{
    QMutexLocker locker(&m_mutex);
    if (m_settings->contains(key))
        return m_settings->value(key);
    return m_registered.value(key);
}

void UserDefaults::setValue(const QString& key, const QVariant& value)
{
    if (!value.isValid()) {
        removeObject(key);
        return;
    }
    {
        QMutexLocker locker(&m_mutex);
        m_settings->setValue(key, value);
    }
    emit changed(key);
}

void UserDefaults::removeObject(const QString& key)
{
    {
        QMutexLocker locker(&m_mutex);
        if (!m_settings->contains(key))
            return;
        m_settings->remove(key);
    }
    emit changed(key);
}

bool UserDefaults::boolForKey(const QString& key) const
{
    const QVariant stored = value(key);
    if (!isTextual(stored))
        return stored.toBool();
    const QString text = stored.toString();
    if (const std::optional<bool> flag = boolFromWord(text))
        return *flag;
    const std::optional<double> number = numberFromText(text);
    return number && *number != 0.0;
}

qint64 UserDefaults::integerForKey(const QString& key) const
{
    const QVariant stored = value(key);
    bool exact = false;
    // Whole numbers go straight through, so large ones do not lose digits on a detour through double.
    const qint64 whole = isTextual(stored) ? stored.toString().trimmed().toLongLong(&exact) : stored.toLongLong(&exact);
    if (exact && stored.typeId() != QMetaType::Double && stored.typeId() != QMetaType::Float)
        return whole;
    return clampedInteger(doubleForKey(key));
}

double UserDefaults::doubleForKey(const QString& key) const
{
    const QVariant stored = value(key);
    if (isTextual(stored))
        return numberFromText(stored.toString()).value_or(0.0);
    bool ok = false;
    const double number = stored.toDouble(&ok);
    return ok && std::isfinite(number) ? number : 0.0;
}

QString UserDefaults::stringForKey(const QString& key) const
{
    const QVariant stored = value(key);
    if (!stored.isValid() || !stored.canConvert<QString>())
        return {};
    return stored.toString();
}

bool UserDefaults::sync()
{
    QMutexLocker locker(&m_mutex);
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}
