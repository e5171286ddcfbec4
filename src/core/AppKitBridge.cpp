#include "AppKitBridge.h"

#include "HostedToolbarItem.h"
#include "platform/SearchToolbarItem.h"
#include "platform/ToolbarItem.h"

#include <QMetaMethod>
#include <QPointer>

namespace {

QPointer<QObject>& controller()
{
    static QPointer<QObject> appKitController;
    return appKitController;
}

bool implements(const QObject* object, const char* operation)
{
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        if (meta->method(i).name() == operation)
            return true;
    }
    return false;
}

} // namespace

QObject* AppKitBridge::appKitController()
{
    return controller();
}

void AppKitBridge::setAppKitController(QObject* object)
{
    if (!controller())
        controller() = object;
}

bool AppKitBridge::send(const char* operation, QGenericArgument first, QGenericArgument second)
{
    QObject* object = controller();
    if (!object || !implements(object, operation))
        return false;
    return QMetaObject::invokeMethod(object, operation, Qt::DirectConnection, first, second);
}

bool AppKitBridge::setupWindow(const QVariantMap& userInfo)
{
    return send("_marzipan_setupWindow", Q_ARG(QVariantMap, userInfo));
}

bool AppKitBridge::hideWindowForSceneIdentifier(const QString& sceneIdentifier)
{
    return send("hideWindowForSceneIdentifier", Q_ARG(QString, sceneIdentifier));
}

bool AppKitBridge::showWindowForSceneIdentifier(const QString& sceneIdentifier)
{
    return send("showWindowForSceneIdentifier", Q_ARG(QString, sceneIdentifier));
}

bool AppKitBridge::setupTerminationWatch()
{
    return send("setupTerminationWatch");
}

bool AppKitBridge::showAbout(QObject* sender)
{
    return send("showAbout", Q_ARG(QObject*, sender));
}

bool AppKitBridge::checkForUpdatesInBackground()
{
    return send("checkForUpdatesInBackground");
}

bool AppKitBridge::checkForUpdates()
{
    return send("checkForUpdates");
}

bool AppKitBridge::terminateApplication(QObject* sender)
{
    return send("terminateApplication", Q_ARG(QObject*, sender));
}

ToolbarItem* AppKitBridge::searchToolbarItemWithSceneIdentifier(const QString& sceneIdentifier,
                                                                const QString& itemIdentifier, QObject* target,
                                                                const QByteArray& selector)
{
    QObject* object = controller();
    QObject* pluginItem = nullptr;
    if (object && implements(object, "searchToolbarItemWithSceneIdentifier")) {
        // The plug-in cannot make our toolbar items; it answers a plain object with a "view" to host.
        QMetaObject::invokeMethod(object, "searchToolbarItemWithSceneIdentifier", Qt::DirectConnection,
                                  Q_RETURN_ARG(QObject*, pluginItem), Q_ARG(QString, sceneIdentifier),
                                  Q_ARG(QString, itemIdentifier), Q_ARG(QObject*, target), Q_ARG(QByteArray, selector));
    }
    if (ToolbarItem* item = host(pluginItem, itemIdentifier))
        return item;
    auto* item = new SearchToolbarItem(itemIdentifier);
    item->setTarget(target);
    item->setAction(selector);
    return item;
}

ToolbarItem* AppKitBridge::host(QObject* pluginItem, const QString& itemIdentifier)
{
    if (!pluginItem)
        return nullptr;
    if (auto* item = qobject_cast<ToolbarItem*>(pluginItem))
        return item;
    // One host per plug-in item: the plug-in answers the same item for a scene every time, and so do we.
    if (auto* hosted = pluginItem->findChild<HostedToolbarItem*>(QString(), Qt::FindDirectChildrenOnly))
        return hosted;
    auto* view = pluginItem->property("view").value<QWidget*>();
    if (!view)
        return nullptr;
    const QString identifier = pluginItem->property("itemIdentifier").toString();
    // A child of the plug-in's item, so the toolbar hosts it without owning it and it lives as long.
    return new HostedToolbarItem(identifier.isEmpty() ? itemIdentifier : identifier, view, pluginItem);
}
