#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

class QMessageBox;

namespace Deskbridge {

class SearchItem;
class Updater;

// The plug-in's one controller. The application creates it by its runtime name and sends it each operation
// by name; every operation runs on the GUI thread.
class AppKitController : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject* updater READ updater CONSTANT)
    Q_PROPERTY(int watchedWindowCount READ watchedWindowCount)

public:
    static constexpr double UpdateCheckInterval = 86400.0;
    static inline const QString AboutObjectName = QStringLiteral("aboutPanel");

    Q_INVOKABLE AppKitController();
    ~AppKitController() override;

    QObject* updater() const;

    // The search item made for the scene, else a new one with the item identifier, target and action, kept
    // for the scene. The first request of a scene decides; later ones only read the cache.
    Q_INVOKABLE QObject* searchToolbarItemWithSceneIdentifier(const QString& sceneIdentifier,
                                                              const QString& itemIdentifier, QObject* target,
                                                              const QByteArray& selector);
    // The notice of each window made for a scene; it only logs.
    Q_INVOKABLE void _marzipan_setupWindow(const QVariantMap& userInfo);
    // Keeps every application window's close button on the application's quit guard; harmless when repeated.
    Q_INVOKABLE void setupTerminationWatch();
    Q_INVOKABLE void showAbout(QObject* sender);
    Q_INVOKABLE void terminateApplication(QObject* sender);
    Q_INVOKABLE void checkForUpdatesInBackground();
    Q_INVOKABLE void checkForUpdates();

    // How many windows the termination watch has looked at so far.
    int watchedWindowCount() const { return int(m_watchedWindows.size()); }

private:
    QHash<QString, QPointer<SearchItem>> m_searchItems;
    Updater* m_updater;
    QList<QPointer<QWidget>> m_watchedWindows;
    QPointer<QMessageBox> m_about;
};

} // namespace Deskbridge
