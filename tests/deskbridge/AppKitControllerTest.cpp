#include "core/AppKitBridge.h"
#include "core/DeskbridgeLoader.h"
#include "platform/ToolbarItem.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

class SearchTarget : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void search(QObject* sender)
    {
        senders << sender;
        texts << sender->property("stringValue").toString();
    }
    Q_INVOKABLE void other(QObject*) { ++others; }
    QList<QObject*> senders;
    QStringList texts;
    int others = 0;
};

QObject* requestItem(QObject* controller, const QString& scene, QObject* target, const QByteArray& action)
{
    QObject* item = nullptr;
    QMetaObject::invokeMethod(controller, "searchToolbarItemWithSceneIdentifier", Q_RETURN_ARG(QObject*, item),
                              Q_ARG(QString, scene), Q_ARG(QString, QStringLiteral("com.kuv.plotvane.search")),
                              Q_ARG(QObject*, target), Q_ARG(QByteArray, action));
    return item;
}

template <typename T> T* shownWidget(const QString& objectName)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == objectName && widget->isVisible())
            return qobject_cast<T*>(widget);
    }
    return nullptr;
}

// The real plug-in, loaded as launch loads it, and installed as the application's controller.
class AppKitControllerTest : public ::testing::Test {
protected:
    AppKitControllerTest()
    {
        ::testing::internal::CaptureStderr();
        controller.reset(DeskbridgeLoader::loadFrom(QStringLiteral(DESKBRIDGE_PATH)).controller);
        ::testing::internal::GetCapturedStderr();
        AppKitBridge::setAppKitController(controller.get());
        QSettings().remove(QStringLiteral("SUFeedURL"));
    }
    ~AppKitControllerTest() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMessageBox*>(widget))
                widget->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QObject* updater() const { return controller->property("updater").value<QObject*>(); }

    std::unique_ptr<QObject> controller;
};

TEST_F(AppKitControllerTest, searchItemOfASceneIsMadeOnceAndKeepsItsFirstTarget)
{
    ASSERT_NE(controller, nullptr);
    SearchTarget first;
    SearchTarget second;
    QObject* item = requestItem(controller.get(), QStringLiteral("main"), &first, "search");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(requestItem(controller.get(), QStringLiteral("main"), &second, "other"), item);
    QObject* otherScene = requestItem(controller.get(), QStringLiteral("second"), &second, "other");
    EXPECT_NE(otherScene, item);

    auto* field = qobject_cast<QLineEdit*>(item->property("view").value<QWidget*>());
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->placeholderText(), QStringLiteral("Search Cards"));
    field->setText(QStringLiteral("lighthouse"));
    field->clear();
    EXPECT_EQ(first.texts, QStringList({"lighthouse", ""}));
    EXPECT_EQ(first.senders.value(0), item);
    EXPECT_EQ(second.others, 0);
}

TEST_F(AppKitControllerTest, bridgeHostsThePluginsFieldAsOneToolbarItemPerScene)
{
    SearchTarget target;
    ToolbarItem* item = AppKitBridge::searchToolbarItemWithSceneIdentifier(
        QStringLiteral("main"), QStringLiteral("com.kuv.plotvane.search"), &target, "search");
    ASSERT_NE(item, nullptr);
    // Held by the plug-in's item, so a toolbar that removes it does not delete it.
    EXPECT_NE(item->parent(), nullptr);
    EXPECT_EQ(item->itemIdentifier(), QStringLiteral("com.kuv.plotvane.search"));
    EXPECT_EQ(AppKitBridge::searchToolbarItemWithSceneIdentifier(
                  QStringLiteral("main"), QStringLiteral("com.kuv.plotvane.search"), &target, "search"),
              item);
    auto* field = qobject_cast<QLineEdit*>(item->view());
    ASSERT_NE(field, nullptr);
    field->setText(QStringLiteral("ship"));
    EXPECT_EQ(target.texts, QStringList{QStringLiteral("ship")});
}

TEST_F(AppKitControllerTest, updaterIsMadeForDailyChecksWithoutDownloadsAndStartsOnTheFirstCheck)
{
    ASSERT_NE(updater(), nullptr);
    EXPECT_TRUE(updater()->property("automaticallyChecksForUpdates").toBool());
    EXPECT_FALSE(updater()->property("automaticallyDownloadsUpdates").toBool());
    EXPECT_DOUBLE_EQ(updater()->property("updateCheckInterval").toDouble(), 86400.0);
    EXPECT_FALSE(updater()->property("started").toBool());

    EXPECT_TRUE(AppKitBridge::checkForUpdatesInBackground());
    EXPECT_TRUE(updater()->property("started").toBool());
    // A background check without a feed stays silent.
    EXPECT_EQ(shownWidget<QMessageBox>(QStringLiteral("updateAlert")), nullptr);
}

TEST_F(AppKitControllerTest, checkForUpdatesWithoutAFeedSaysUpdatesComeWithTheSystemPackages)
{
    EXPECT_TRUE(AppKitBridge::checkForUpdates());
    auto* alert = shownWidget<QMessageBox>(QStringLiteral("updateAlert"));
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->text().contains(QLatin1String("come with your system's packages"))) << qPrintable(alert->text());
}

TEST_F(AppKitControllerTest, aboutShowsOnePanelWithTheNameAndVersion)
{
    EXPECT_TRUE(AppKitBridge::showAbout(nullptr));
    EXPECT_TRUE(AppKitBridge::showAbout(nullptr));
    int panels = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        panels += widget->objectName() == u"aboutPanel" && widget->isVisible();
    EXPECT_EQ(panels, 1);
    auto* about = shownWidget<QMessageBox>(QStringLiteral("aboutPanel"));
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->text().contains(QCoreApplication::applicationName()));
    EXPECT_TRUE(about->informativeText().startsWith(QLatin1String("Version ")));
}

TEST_F(AppKitControllerTest, windowNoticeLogsItsUserInfo)
{
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(AppKitBridge::setupWindow({{QStringLiteral("sceneIdentifier"), QStringLiteral("main")}}));
    EXPECT_TRUE(AppKitBridge::setupWindow({}));
    const QString log = QString::fromStdString(::testing::internal::GetCapturedStderr());
    const QStringList lines = log.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(log);
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("_marzipan_setupWindow: ")));
    EXPECT_TRUE(lines[0].contains(QLatin1String("main")));
    EXPECT_EQ(lines[1], QStringLiteral("_marzipan_setupWindow: (null)"));
}

TEST_F(AppKitControllerTest, terminateEndsTheEventLoop)
{
    // Should quitting fail, the loop ends with another code after a while instead of hanging the test.
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    fallback.start(5000);
    QTimer::singleShot(0, controller.get(), [this] { AppKitBridge::terminateApplication(controller.get()); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
}

} // namespace

#include "AppKitControllerTest.moc"
