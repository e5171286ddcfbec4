#include "core/DeskbridgeLoader.h"
#include "core/AppKitBridge.h"
#include "platform/SearchToolbarItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Loads a library and keeps stderr, where the outcome is logged.
struct Logged {
    DeskbridgeLoader::Result result;
    QString log;
    ~Logged() { delete result.controller; }
};

std::unique_ptr<Logged> loadLogged(const QString& path)
{
    auto logged = std::make_unique<Logged>();
    ::testing::internal::CaptureStderr();
    logged->result = DeskbridgeLoader::loadFrom(path);
    logged->log = QString::fromStdString(::testing::internal::GetCapturedStderr());
    return logged;
}

class SearchTarget : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void search(QObject* sender) { texts << sender->property("stringValue").toString(); }
    QStringList texts;
};

TEST(DeskbridgeLoaderTest, pluginIsLookedForBesideTheProgramOnly)
{
    EXPECT_EQ(DeskbridgeLoader::bundlePath(), QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/Frameworks/Deskbridge.framework/libDeskbridge.so"));

    // A working folder holding a plug-in at the same relative place is not where the program looks.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(DeskbridgeLoader::FrameworkDirectory));
    ASSERT_TRUE(QFile::copy(QStringLiteral(DESKBRIDGE_PATH), dir.filePath(DeskbridgeLoader::FrameworkDirectory + u'/' +
                                                                          DeskbridgeLoader::LibraryFileName)));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    ::testing::internal::CaptureStderr();
    const DeskbridgeLoader::Result result = DeskbridgeLoader::load();
    ::testing::internal::GetCapturedStderr();
    QDir::setCurrent(previous);
    EXPECT_EQ(result.controller, nullptr);
}

TEST(DeskbridgeLoaderTest, missingGarbageAndRelativePluginsLogTheReasonAndMakeNothing)
{
    QTemporaryDir dir;
    const QString garbage = dir.filePath(DeskbridgeLoader::LibraryFileName);
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\x7f"
                          "ELF but not really a library")
                   .repeated(40));
    file.close();

    for (const QString& path : {dir.filePath(QStringLiteral("absent.so")), garbage,
                                DeskbridgeLoader::FrameworkDirectory + u'/' + DeskbridgeLoader::LibraryFileName}) {
        auto logged = loadLogged(path);
        EXPECT_EQ(logged->result.controller, nullptr) << qPrintable(path);
        EXPECT_FALSE(logged->result.error.isEmpty()) << qPrintable(path);
        EXPECT_TRUE(logged->log.startsWith(DeskbridgeLoader::ErrorPrefix + logged->result.error))
            << qPrintable(logged->log);
    }
}

TEST(DeskbridgeLoaderTest, libraryWithoutTheLookupOrTheClassMakesNoController)
{
    auto noLookup = loadLogged(QStringLiteral(QT_CORE_PATH));
    EXPECT_EQ(noLookup->result.controller, nullptr);
    EXPECT_TRUE(noLookup->result.error.contains(QLatin1String("DeskbridgeClassFromString")));
    EXPECT_TRUE(noLookup->log.startsWith(DeskbridgeLoader::ErrorPrefix));

    auto noClass = loadLogged(QStringLiteral(NO_CLASS_PLUGIN_PATH));
    EXPECT_EQ(noClass->result.controller, nullptr);
    EXPECT_TRUE(noClass->result.error.contains(QLatin1String("Deskbridge.AppKitController")));
    EXPECT_FALSE(noClass->log.contains(DeskbridgeLoader::SuccessLine));
}

TEST(DeskbridgeLoaderTest, fullPluginLoadsItsControllerAndSaysSo)
{
    auto logged = loadLogged(QStringLiteral(DESKBRIDGE_PATH));
    ASSERT_NE(logged->result.controller, nullptr) << qPrintable(logged->result.error);
    EXPECT_STREQ(logged->result.controller->metaObject()->className(), "Deskbridge::AppKitController");
    EXPECT_EQ(logged->log, DeskbridgeLoader::SuccessLine + u'\n');
}

TEST(DeskbridgeLoaderTest, partialPluginAnswersItsOwnOperationsAndDefaultsTheRest)
{
    auto logged = loadLogged(QStringLiteral(PARTIAL_PLUGIN_PATH));
    QObject* plugin = logged->result.controller;
    ASSERT_NE(plugin, nullptr) << qPrintable(logged->result.error);
    AppKitBridge::setAppKitController(plugin);
    ASSERT_EQ(AppKitBridge::appKitController(), plugin);

    EXPECT_TRUE(AppKitBridge::showAbout(plugin));
    EXPECT_TRUE(AppKitBridge::setupTerminationWatch());
    EXPECT_EQ(plugin->property("aboutCount").toInt(), 1);
    EXPECT_EQ(plugin->property("watchCount").toInt(), 1);
    EXPECT_FALSE(AppKitBridge::setupWindow({}));
    EXPECT_FALSE(AppKitBridge::hideWindowForSceneIdentifier(QStringLiteral("main")));
    EXPECT_FALSE(AppKitBridge::showWindowForSceneIdentifier(QStringLiteral("main")));
    EXPECT_FALSE(AppKitBridge::checkForUpdatesInBackground());
    EXPECT_FALSE(AppKitBridge::checkForUpdates());
    EXPECT_FALSE(AppKitBridge::terminateApplication(plugin));

    // Without the plug-in's search item the application's own one still searches.
    SearchTarget target;
    std::unique_ptr<ToolbarItem> item(AppKitBridge::searchToolbarItemWithSceneIdentifier(
        QStringLiteral("main"), QStringLiteral("com.kuv.plotvane.search"), &target, "search"));
    auto* search = qobject_cast<SearchToolbarItem*>(item.get());
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->itemIdentifier(), QStringLiteral("com.kuv.plotvane.search"));
    search->field()->setText(QStringLiteral("harbour"));
    EXPECT_EQ(target.texts, QStringList{QStringLiteral("harbour")});
}

TEST(DeskbridgeLoaderTest, withoutAnyPluginEverySendIsSkipped)
{
    ASSERT_EQ(AppKitBridge::appKitController(), nullptr);
    EXPECT_FALSE(AppKitBridge::showAbout(nullptr));
    EXPECT_FALSE(AppKitBridge::setupWindow({}));
    EXPECT_FALSE(AppKitBridge::terminateApplication(nullptr));
    std::unique_ptr<ToolbarItem> item(AppKitBridge::searchToolbarItemWithSceneIdentifier(
        QStringLiteral("main"), QStringLiteral("com.kuv.plotvane.search"), nullptr, "search"));
    ASSERT_NE(item, nullptr);
    EXPECT_NE(item->view(), nullptr);
}

} // namespace

#include "DeskbridgeLoaderTest.moc"
