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
    // The plug-in's search item for the scene; without one (or without the operation) a bare item
    // with itemIdentifier. Never nullptr.
    static ToolbarItem* searchToolbarItemWithSceneIdentifier(const QString& sceneIdentifier,
                                                             const QString& itemIdentifier, QObject* target,
                                                             const QByteArray& selector);

private:
    static bool send(const char* operation, QGenericArgument first = QGenericArgument(nullptr),
                     QGenericArgument second = QGenericArgument());
};
