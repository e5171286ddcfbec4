#include "ScreenRegistry.h"
#include "core/AppDelegate.h"
#include "platform/Application.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Plotvane"));
    QApplication::setApplicationName(QStringLiteral("Plotvane"));
    ScreenRegistry::registerScreens();
    AppDelegate delegate;
    Application application(app, delegate);
    return application.run();
}
