#pragma once

#include <QMutex>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>

// Preferences over QSettings, with registered defaults that answer for keys nobody has written.
class UserDefaults : public QObject {
    Q_OBJECT

public:
    // The process-wide preferences, in the application's own settings file.
    static UserDefaults& standard();

    // Preferences kept in the ini file at path (tests, separate stores).
    explicit UserDefaults(const QString& path, QObject* parent = nullptr);
    ~UserDefaults() override;

    // Merges values that answer while a key has no written value; they are never written to disk.
    void registerDefaults(const QVariantMap& defaults);

    // The written value, else the registered default, else an invalid QVariant.
    QVariant value(const QString& key) const;
    // Writes value; an invalid QVariant removes the key, as removeObject does.
    void setValue(const QString& key, const QVariant& value);
    void removeObject(const QString& key);

    // Typed readers accept both real values and the strings an ini file hands back ("true", "42", "YES").
    bool boolForKey(const QString& key) const;
    qint64 integerForKey(const QString& key) const;
    double doubleForKey(const QString& key) const;
    // Empty when the key has no value or the value is not text-like.
    QString stringForKey(const QString& key) const;

    // Writes pending changes and rereads the file; false when the file could not be read or written.
    bool sync();

signals:
    // Emitted after a key's written value has been set or removed.
    void changed(const QString& key);

private:
    explicit UserDefaults(std::unique_ptr<QSettings> settings);

    mutable QMutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
    QVariantMap m_registered;
};
