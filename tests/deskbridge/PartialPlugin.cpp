// A stand-in plug-in that implements only two of the operations; the application must answer the rest with
// its defaults.
#include "platform/ModuleInterface.h"

#include <QObject>

#include <cstring>

namespace Deskbridge {

class AppKitController : public QObject {
    Q_OBJECT
    Q_PROPERTY(int aboutCount MEMBER m_aboutCount)
    Q_PROPERTY(int watchCount MEMBER m_watchCount)

public:
    Q_INVOKABLE AppKitController() = default;

    Q_INVOKABLE void showAbout(QObject*) { ++m_aboutCount; }
    Q_INVOKABLE void setupTerminationWatch() { ++m_watchCount; }

private:
    int m_aboutCount = 0;
    int m_watchCount = 0;
};

} // namespace Deskbridge

extern "C" Q_DECL_EXPORT const QMetaObject* DeskbridgeClassFromString(const char* runtimeName)
{
    if (runtimeName && std::strcmp(runtimeName, Deskbridge::ControllerClassName) == 0)
        return &Deskbridge::AppKitController::staticMetaObject;
    return nullptr;
}

#include "PartialPlugin.moc"
