#include "AppKitController.h"

#include "SearchItem.h"
#include "Updater.h"

#include <QApplication>
#include <QDebug>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>

namespace Deskbridge {

namespace {

QString runningVersion()
{
    // The plug-in ships with the program it was built with, so its own version stands in for an unset one.
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral(DESKBRIDGE_VERSION) : version;
}

QString describe(const QVariantMap& userInfo)
{
    if (userInfo.isEmpty())
        return QStringLiteral("(null)");
    QString text;
    QDebug(&text).nospace() << userInfo;
    return text;
}

} // namespace

AppKitController::AppKitController() : m_updater(new Updater(runningVersion(), this))
{
    // Made, not started: the first background check at launch starts it.
    m_updater->setAutomaticallyChecksForUpdates(true);
    m_updater->setAutomaticallyDownloadsUpdates(false);
    m_updater->setUpdateCheckInterval(UpdateCheckInterval);
}

AppKitController::~AppKitController()
{
    delete m_about;
    qDeleteAll(m_searchItems);
}

QObject* AppKitController::updater() const
{
    return m_updater;
}

QObject* AppKitController::searchToolbarItemWithSceneIdentifier(const QString& sceneIdentifier,
                                                                const QString& itemIdentifier, QObject* target,
                                                                const QByteArray& selector)
{
    if (SearchItem* cached = m_searchItems.value(sceneIdentifier))
        return cached;
    auto* item = new SearchItem(itemIdentifier, target, selector);
    m_searchItems.insert(sceneIdentifier, item);
    return item;
}

void AppKitController::_marzipan_setupWindow(const QVariantMap& userInfo)
{
    std::fprintf(stderr, "_marzipan_setupWindow: %s\n", qPrintable(describe(userInfo)));
    std::fflush(stderr);
}

void AppKitController::setupTerminationWatch()
{
    // Closing the window is this desktop's Quit, and the application runs its unsaved-changes guard on it.
    // So the close button stays enabled and its request is left to that guard: the watch neither removes the
    // button (which would leave the window with no way to the guard) nor closes anything itself.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isWindow() || !window->windowFlags().testFlag(Qt::WindowCloseButtonHint))
            continue;
        if (!m_watchedWindows.contains(window))
            m_watchedWindows.append(window);
    }
    m_watchedWindows.removeAll(nullptr);
}

void AppKitController::showAbout(QObject*)
{
    if (m_about) {
        m_about->raise();
        m_about->activateWindow();
        return;
    }
    const QString name = QCoreApplication::applicationName();
    auto* about = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("About %1").arg(name),
                                  QStringLiteral("<b>%1</b>").arg(name.toHtmlEscaped()));
    about->setObjectName(AboutObjectName);
    about->setInformativeText(QStringLiteral("Version %1").arg(runningVersion()));
    about->setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setModal(false);
    m_about = about;
    about->show();
}

void AppKitController::terminateApplication(QObject*)
{
    QCoreApplication::quit();
}

void AppKitController::checkForUpdatesInBackground()
{
    m_updater->startUpdater();
    m_updater->checkForUpdatesInBackground();
}

void AppKitController::checkForUpdates()
{
    m_updater->checkForUpdates();
}

} // namespace Deskbridge
