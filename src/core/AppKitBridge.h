#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariantMap>

class ToolbarItem;

// The application's side of the desktop plug-in: the one plug-in object (appKitController) and the
// operations sent to it. Each operation is a member the plug-in's object may implement; one it lacks,
// or a missing plug-in, falls to the do-nothing default, answered here as false.
class AppKitBridge {
public:
    // Posted for every window made for a scene; the plug-in observes it with _marzipan_setupWindow.
    static inline const QString WindowForSceneNotification =
        QStringLiteral("UISBHSDidCreateWindowForSceneNotification");

    // The plug-in's controller, or nullptr when the plug-in did not load.
    static QObject* appKitController();
    // Keeps the first controller set; later calls change nothing while it lives.
    static void setAppKitController(QObject* controller);

    static bool setupWindow(const QVariantMap& userInfo);
    static bool hideWindowForSceneIdentifier(const QString& sceneIdentifier);
    static bool showWindowForSceneIdentifier(const QString& sceneIdentifier);
    static bool setupTerminationWatch();
    static bool showAbout(QObject* sender);
    static bool checkForUpdatesInBackground();
    static bool checkForUpdates();
    static bool terminateApplication(QObject* sender);
    // The plug-in's search item for the scene, hosted as a toolbar item. Without the plug-in (or without
    // the operation) the application's own search item with the same identifier, target and action, so that
    // searching works either way. Never nullptr.
    static ToolbarItem* searchToolbarItemWithSceneIdentifier(const QString& sceneIdentifier,
                                                             const QString& itemIdentifier, QObject* target,
                                                             const QByteArray& selector);

private:
    static ToolbarItem* host(QObject* pluginItem, const QString& itemIdentifier);
    static bool send(const char* operation, QGenericArgument first = QGenericArgument(nullptr),
                     QGenericArgument second = QGenericArgument());
};
