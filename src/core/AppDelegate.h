#pragma once

#include "platform/ApplicationDelegate.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class ManagedObjectContext;
class PersistentContainer;
class QMainWindow;
class QWidget;

// The root object of the running program: opens the store, registers the preferences, owns the window
// and holds what screens of several subsystems share.
class AppDelegate : public QObject, public ApplicationDelegate {
    Q_OBJECT

public:
    static constexpr const char* ContainerName = "CardStore";
    static constexpr int MinimumWindowWidth = 1024;
    static constexpr int MinimumWindowHeight = 768;

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

    // Registers the application-wide preferences with their defaults.
    static void registerDefaults();

    std::function<void(const QString&)> search;
    QString currentSearchText;
    bool hasPrimaryCardEdits = false;
    bool hasSecondaryCardEdits = false;
    QPointer<QWidget> initialViewController;

private:
    void setupCoreData();
    void setupWindow();
    void saveInBackgroundTask();
    void saveNow();

    QString m_storePath;
    std::unique_ptr<PersistentContainer> m_container;
    std::unique_ptr<QMainWindow> m_window;
};
