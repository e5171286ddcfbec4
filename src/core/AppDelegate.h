#pragma once

#include "platform/ApplicationDelegate.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class ManagedObjectContext;
class MenuBuilder;
class PersistentContainer;
class QMainWindow;
class QWidget;
class Toolbar;
class ToolbarDelegate;

// The root object of the running program: opens the store, registers the preferences, owns the window
// with its toolbar and menus, and holds what screens of several subsystems share.
class AppDelegate : public QObject, public ApplicationDelegate {
    Q_OBJECT

public:
    static constexpr const char* ContainerName = "CardStore";
    static constexpr int MinimumWindowWidth = 1024;
    static constexpr int MinimumWindowHeight = 768;
    static inline const QString ToolbarIdentifier = QStringLiteral("main");
    static inline const QString ApplicationName = QStringLiteral("Plotvane");
    static inline const QString CheckForUpdatesTitle = QStringLiteral("Check for Updates");
    static inline const QString UnsavedChangesTitle = QStringLiteral("Unsaved Changes");
    static inline const QString UnsavedChangesMessage =
        QStringLiteral("Please save or discard your unsaved card changes before quitting Plotvane.");
    // Root changes when a project opens and closes.
    static constexpr double SlideDuration = 0.4;
    // The user-info key of the window notice that names the window's scene.
    static inline const QString SceneIdentifierKey = QStringLiteral("sceneIdentifier");
    // Wait after each activation before the plug-in looks at the window's close buttons.
    static constexpr int TerminationWatchDelayMs = 1000;
    // Printed when the desktop cannot show notices.
    static inline const QString NotificationsRefusedLogLine = QStringLiteral("Oops, no access");
    // Posted as the application ends, before the store's last save: open screens store what they still hold.
    static inline const QString WillTerminateNotification = QStringLiteral("UIApplicationWillTerminateNotification");

    // The launch steps, in the order they run; launchSteps() lists those that ran.
    static inline const QString StepLoadPlugin = QStringLiteral("loadDeskbridgeBundle");
    static inline const QString StepRegisterDefaults = QStringLiteral("registerDefaults");
    static inline const QString StepSetupCoreData = QStringLiteral("setupCoreData");
    static inline const QString StepMinimumSize = QStringLiteral("minimumSize");
    static inline const QString StepSetupToolbar = QStringLiteral("setupToolbar");
    static inline const QString StepKeyboardManager = QStringLiteral("keyboardManager");
    static inline const QString StepNotificationPermission = QStringLiteral("notificationPermission");
    static inline const QString StepCheckForUpdates = QStringLiteral("checkForUpdatesInBackground");
    // The storyboard identifier of the project list, the window's first screen.
    static inline const QString ProjectListIdentifier = QStringLiteral("projectViewController");

    // An empty store path means the store's default place in the application's data folder.
    explicit AppDelegate(QString storePath = {}, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The delegate of the running application, or nullptr.
    static AppDelegate* shared();

    bool didFinishLaunching() override;
    void didBecomeActive() override;
    void didEnterBackground() override;
    void willTerminate() override;

    // The store's one context; it always merges changes saved elsewhere.
    ManagedObjectContext* managedObjectContext() const;
    PersistentContainer* persistentContainer() const { return m_container.get(); }
    QMainWindow* window() const { return m_window.get(); }
    // The window toolbar "main"; screens insert and remove their items in it.
    Toolbar* toolbar() const { return m_toolbar.get(); }
    ToolbarDelegate* toolbarDelegate() const { return m_toolbarDelegate.get(); }
    // The window whose title screens set; the one window of the application.
    QMainWindow* mainScene() const { return m_window.get(); }
    QStringList launchSteps() const { return m_launchSteps; }

    // Registers the application-wide preferences with their defaults.
    static void registerDefaults();

    // Trims the standard menus to what the application supports and guards Quit.
    void buildMenu(MenuBuilder& builder);
    // Quits unless a card editor holds unsaved edits; then it says so and the application keeps running.
    void confirmQuit();
    // What ends the process once the guard allows it; tests replace it.
    void setQuitHandler(std::function<void()> handler) { m_quitHandler = std::move(handler); }

    // Menu commands, reached along the responder chain.
    Q_INVOKABLE void quitReceived(QObject* sender);
    Q_INVOKABLE void aboutReceived(QObject* sender);
    Q_INVOKABLE void orderFrontStandardAboutPanel(QObject* sender);
    Q_INVOKABLE void checkForUpdates(QObject* sender);

    // Replace the window's root screen: a project opening (revealed from the right) or closing (from the
    // left). Without a window nothing happens.
    void slideIn(QWidget* controller);
    void slideOut(QWidget* controller);

    std::function<void(const QString&)> search;
    QString currentSearchText;
    bool hasPrimaryCardEdits = false;
    bool hasSecondaryCardEdits = false;
    QPointer<QWidget> initialViewController;
    // The open card board (it implements CardBoardActions), or nullptr.
    QPointer<QObject> cardViewController;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadDeskbridgeBundle();
    void announceWindow();
    void setupCoreData();
    void setupWindow();
    void applyMinimumSize();
    void setupToolbar();
    void disableKeyboardToolbars();
    void requestNotificationPermission();
    void setupMenus();
    void showProjectList();
    void scheduleTerminationWatch();
    void saveInBackgroundTask();
    void saveNow();
    void slide(QWidget* controller, bool in);
    QWidget* topmostScreen() const;

    QString m_storePath;
    QStringList m_launchSteps;
    std::unique_ptr<PersistentContainer> m_container;
    std::unique_ptr<QMainWindow> m_window;
    std::unique_ptr<ToolbarDelegate> m_toolbarDelegate;
    std::unique_ptr<Toolbar> m_toolbar;
    std::function<void()> m_quitHandler;
    bool m_quitting = false;
};
