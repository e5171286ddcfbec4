#include "AppDelegate.h"

#include "AppKitBridge.h"
#include "DeskbridgeLoader.h"
#include "RootTransition.h"
#include "StoreModel.h"
#include "ToolbarDelegate.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/BlockedWindowClose.h"
#include "platform/Dispatch.h"
#include "platform/MenuBuilder.h"
#include "platform/MenuIdentifier.h"
#include "platform/NotificationCenter.h"
#include "platform/StandardMenus.h"
#include "platform/Storyboard.h"
#include "platform/Toolbar.h"
#include "platform/UserDefaults.h"
#include "platform/UserNotifications.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <cstdio>
#include <cstdlib>

AppDelegate::AppDelegate(QString storePath, QObject* parent)
    : QObject(parent), m_storePath(std::move(storePath)), m_quitHandler([] { QCoreApplication::quit(); })
{
}

AppDelegate::~AppDelegate()
{
    if (m_window)
        m_window->removeEventFilter(this);
    m_toolbar.reset();
    m_window.reset();
}

AppDelegate* AppDelegate::shared()
{
    return dynamic_cast<AppDelegate*>(Application::delegate());
}

bool AppDelegate::didFinishLaunching()
{
    // The window comes first, as the platform's storyboard would make it; the steps then run in order.
    setupWindow();
    loadDeskbridgeBundle();
    registerDefaults();
    m_launchSteps << StepRegisterDefaults;
    setupCoreData();
    applyMinimumSize();
    setupToolbar();
    disableKeyboardToolbars();
    requestNotificationPermission();
    m_launchSteps << StepCheckForUpdates;
    AppKitBridge::checkForUpdatesInBackground();
    setupMenus();
    showProjectList();
    m_window->show();
    if (auto* first = qobject_cast<ViewController*>(m_window->centralWidget()))
        ViewController::endAppearance(first);
    announceWindow();
    return true;
}

void AppDelegate::showProjectList()
{
    // The project list is the window's first screen; it needs the store and the toolbar, so it comes last.
    // Every screen is made by identifier from what the program registered; without a list the window stays
    // empty rather than failing.
    ViewController* projects = Storyboard::instantiate(ProjectListIdentifier);
    if (!projects)
        projects = new ViewController;
    ViewController::beginAppearance(projects, true, false);
    m_window->setCentralWidget(projects);
}

void AppDelegate::loadDeskbridgeBundle()
{
    m_launchSteps << StepLoadPlugin;
    // One controller per process: a second launch in the same process keeps the first.
    if (AppKitBridge::appKitController())
        return;
    const DeskbridgeLoader::Result loaded = DeskbridgeLoader::load();
    if (!loaded.controller)
        return;
    // Never released: the controller lives as long as the process.
    AppKitBridge::setAppKitController(loaded.controller);
    NotificationCenter::defaultCenter().addObserver(
        AppKitBridge::WindowForSceneNotification, nullptr,
        [](const Notification& notification) { AppKitBridge::setupWindow(notification.userInfo); }, loaded.controller);
}

void AppDelegate::announceWindow()
{
    // The window stands for the one scene; its notice comes once it is on screen, as the platform's does.
    NotificationCenter::defaultCenter().post(AppKitBridge::WindowForSceneNotification, m_window.get(),
                                             {{SceneIdentifierKey, ToolbarDelegate::SceneIdentifier}});
}

void AppDelegate::registerDefaults()
{
    UserDefaults::standard().registerDefaults({
        {QStringLiteral("PrefEditorFontSize"), 1.25},
        {QStringLiteral("PrefCompiledFontSize"), 1.25},
        {QStringLiteral("PrefCompactCards"), true},
        {QStringLiteral("PrefItemFilter"), 5120},
        {QStringLiteral("PrefPreferZoom"), false},
        {QStringLiteral("PrefFingerDrawing"), false},
        {QStringLiteral("PrefFingerDrawingWarned"), false},
    });
}

void AppDelegate::setupCoreData()
{
    m_launchSteps << StepSetupCoreData;
    m_container = std::make_unique<PersistentContainer>(QString::fromLatin1(ContainerName), StoreModel::model());
    if (auto error = m_container->loadPersistentStores(m_storePath)) {
        // The application never runs without its store; the file is left exactly as it was found.
        std::fprintf(stderr, "Failed to load Core Data stack: %s\n", qPrintable(error->description()));
        std::fflush(stderr);
        std::exit(EXIT_FAILURE);
    }
}

void AppDelegate::setupWindow()
{
    m_window = std::make_unique<QMainWindow>();
    m_window->setObjectName(QStringLiteral("mainWindow"));
    m_window->setWindowTitle(ApplicationName);
    m_window->setCentralWidget(new QWidget(m_window.get()));
    m_window->resize(MinimumWindowWidth, MinimumWindowHeight);
    // Closing the window is the Quit command, with the same guard, also while a sheet covers the window.
    m_window->installEventFilter(this);
    new BlockedWindowClose(m_window.get());
}

void AppDelegate::applyMinimumSize()
{
    m_launchSteps << StepMinimumSize;
    m_window->setMinimumSize(MinimumWindowWidth, MinimumWindowHeight);
}

void AppDelegate::setupToolbar()
{
    m_launchSteps << StepSetupToolbar;
    m_toolbarDelegate = std::make_unique<ToolbarDelegate>();
    m_toolbar = std::make_unique<Toolbar>(ToolbarIdentifier);
    m_toolbar->setDelegate(m_toolbarDelegate.get());
    m_toolbar->setDisplayMode(Toolbar::DisplayMode::IconOnly);
    m_toolbar->attach(m_window.get());
}

void AppDelegate::disableKeyboardToolbars()
{
    // The keyboard helper's toolbar above text fields belongs to touch screens; the desktop has none
    // to switch off, so the step only keeps its place in the launch.
    m_launchSteps << StepKeyboardManager;
}

void AppDelegate::requestNotificationPermission()
{
    m_launchSteps << StepNotificationPermission;
    // The answer arrives from the bus later; the launch goes on without waiting for it.
    UserNotifications::current().requestAuthorization([](bool granted) {
        if (granted)
            return;
        std::printf("%s\n", qPrintable(NotificationsRefusedLogLine));
        std::fflush(stdout);
    });
}

void AppDelegate::setupMenus()
{
    MenuBuilder builder(StandardMenus::menuBar(ApplicationName));
    buildMenu(builder);
    builder.apply(m_window->menuBar(), m_window.get());
}

ManagedObjectContext* AppDelegate::managedObjectContext() const
{
    if (!m_container)
        return nullptr;
    ManagedObjectContext* context = m_container->viewContext();
    if (context)
        context->setAutomaticallyMergesChangesFromParent(true);
    return context;
}

void AppDelegate::didBecomeActive()
{
    scheduleTerminationWatch();
}

void AppDelegate::scheduleTerminationWatch()
{
    Dispatch::globalAfter(TerminationWatchDelayMs,
                          [] { Dispatch::main([] { AppKitBridge::setupTerminationWatch(); }); });
}

void AppDelegate::didEnterBackground()
{
    saveInBackgroundTask();
}

void AppDelegate::willTerminate()
{
    // Synchronous: a save queued for later would be lost with the process.
    NotificationCenter::defaultCenter().post(WillTerminateNotification, this);
    saveNow();
}

void AppDelegate::saveInBackgroundTask()
{
    QPointer<AppDelegate> self(this);
    Dispatch::main([self] {
        if (self)
            self->saveNow();
    });
}

void AppDelegate::saveNow()
{
    ManagedObjectContext* context = managedObjectContext();
    if (!context || !context->hasChanges())
        return;
    if (auto error = context->save())
        qWarning("Saving on the way out failed: %s", qPrintable(error->description()));
}

void AppDelegate::buildMenu(MenuBuilder& builder)
{
    builder.removeMenuForIdentifier(MenuIdentifier::File);
    MenuCommand checkForUpdates;
    checkForUpdates.title = CheckForUpdatesTitle;
    checkForUpdates.action = QByteArrayLiteral("checkForUpdates");
    checkForUpdates.applicationWide = true;
    builder.insertSiblingMenuAfterMenuForIdentifier(Menu::make({}, {}, {checkForUpdates}, true), MenuIdentifier::About);

    if (auto quit = builder.menuForIdentifier(MenuIdentifier::Quit)) {
        for (const QString& identifier :
             {MenuIdentifier::Find, MenuIdentifier::Spelling, MenuIdentifier::Format, MenuIdentifier::Help})
            builder.removeMenuForIdentifier(identifier);
        // The guarded command keeps the platform's title and key.
        MenuCommand guarded;
        const MenuCommand* first =
            quit->children().isEmpty() ? nullptr : std::get_if<MenuCommand>(&quit->children().first());
        if (first && first->isKeyCommand()) {
            guarded.input = first->input;
            guarded.title = first->title;
        }
        guarded.modifiers = Qt::ControlModifier;
        guarded.action = QByteArrayLiteral("quitReceived");
        // Quit, with its guard, is there whatever sheet covers the window.
        guarded.applicationWide = true;
        builder.replaceMenuForIdentifier(MenuIdentifier::Quit, Menu::make({}, MenuIdentifier::Quit, {guarded}, true));
        return;
    }

    // Any other menu system, such as a text view's context menu.
    if (builder.menuForIdentifier(MenuIdentifier::Font)) {
        builder.removeMenuForIdentifier(MenuIdentifier::TextColor);
        if (auto textStyle = builder.menuForIdentifier(MenuIdentifier::TextStyle)) {
            QList<Menu::Element> children = textStyle->children();
            if (!children.isEmpty())
                children.removeFirst();
            builder.replaceMenuForIdentifier(MenuIdentifier::TextStyle,
                                             Menu::make(textStyle->title(), MenuIdentifier::Text, children, true));
        }
    }
    if (builder.menuForIdentifier(MenuIdentifier::Spelling))
        builder.removeMenuForIdentifier(MenuIdentifier::SpellingOptions);
}

void AppDelegate::quitReceived(QObject*)
{
    confirmQuit();
}

void AppDelegate::aboutReceived(QObject*)
{
    AppKitBridge::showAbout(this);
}

void AppDelegate::orderFrontStandardAboutPanel(QObject* sender)
{
    aboutReceived(sender);
}

void AppDelegate::checkForUpdates(QObject*)
{
    AppKitBridge::checkForUpdates();
}

void AppDelegate::confirmQuit()
{
    if (!hasPrimaryCardEdits && !hasSecondaryCardEdits) {
        m_quitting = true;
        // Without the plug-in (or one that cannot end the application) Quit must still quit.
        if (!AppKitBridge::terminateApplication(this) && m_quitHandler)
            m_quitHandler();
        // Ending asks the windows to close before it returns. When one refused, or nothing ended the application,
        // it goes on running, and a later close of the window is the writer's again: the guard must see it.
        m_quitting = false;
        return;
    }
    for (Alert* shown : Alert::presented()) {
        if (shown->title() == UnsavedChangesTitle)
            return;
    }
    QWidget* host = topmostScreen();
    if (!host)
        host = m_window.get();
    auto* alert = new Alert(UnsavedChangesTitle, UnsavedChangesMessage);
    alert->addAction(QStringLiteral("OK"));
    alert->present(host);
}

QWidget* AppDelegate::topmostScreen() const
{
    if (!m_window)
        return nullptr;
    return ViewController::topmostPresented(qobject_cast<ViewController*>(m_window->centralWidget()));
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close && m_window && watched == m_window.get() && !m_quitting) {
        event->ignore();
        confirmQuit();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void AppDelegate::slideIn(QWidget* controller)
{
    slide(controller, true);
}

void AppDelegate::slideOut(QWidget* controller)
{
    slide(controller, false);
}

void AppDelegate::slide(QWidget* controller, bool in)
{
    if (!m_window)
        return;
    auto options =
        std::make_shared<TransitionOptions>(TransitionOptions::Direction::toRight, TransitionOptions::Curve::linear);
    options->direction = in ? TransitionOptions::Direction::toRight : TransitionOptions::Direction::toLeft;
    options->duration = SlideDuration;
    options->style = TransitionOptions::Curve::easeInOut;
    QPointer<QWidget> replaced(m_window->centralWidget());
    QPointer<QMainWindow> window(m_window.get());
    QPointer<AppDelegate> self(this);
    // A replaced root that no one keeps (the split view of a closed project) ends with its reveal; the
    // project list stays, held as the initial screen.
    RootTransition::setRootViewController(m_window.get(), controller, options, [replaced, window, self](bool) {
        if (!replaced || !window || !self || replaced == self->initialViewController ||
            replaced == window->centralWidget())
            return;
        replaced->deleteLater();
    });
}
