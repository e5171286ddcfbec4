#include "AppKitController.h"
#include "platform/ModuleInterface.h"

#include <cstring>

extern "C" Q_DECL_EXPORT const QMetaObject* DeskbridgeClassFromString(const char* runtimeName)
{
    if (runtimeName && std::strcmp(runtimeName, Deskbridge::ControllerClassName) == 0)
        return &Deskbridge::AppKitController::staticMetaObject;
    return nullptr;
}
