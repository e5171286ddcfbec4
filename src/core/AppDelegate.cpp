#include "AppDelegate.h"

#include "StoreModel.h"
#include "platform/Application.h"
#include "platform/Dispatch.h"
#include "platform/UserDefaults.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"

#include <QMainWindow>
#include <QPointer>
#include <cstdio>
#include <cstdlib>

AppDelegate::AppDelegate(QString storePath, QObject* parent) : QObject(parent), m_storePath(std::move(storePath)) {}

AppDelegate::~AppDelegate() = default;

AppDelegate* AppDelegate::shared()
{
    return dynamic_cast<AppDelegate*>(Application::delegate());
}

bool AppDelegate::didFinishLaunching()
{
    registerDefaults();
    setupCoreData();
    setupWindow();
    return true;
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
    m_window->setWindowTitle(QStringLiteral("Plotvane"));
    m_window->setMinimumSize(MinimumWindowWidth, MinimumWindowHeight);
    m_window->setCentralWidget(new QWidget(m_window.get()));
    m_window->show();
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

void AppDelegate::didBecomeActive() {}

void AppDelegate::didEnterBackground()
{
    saveInBackgroundTask();
}

void AppDelegate::willTerminate()
{
    // Synchronous: a save queued for later would be lost with the process.
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
