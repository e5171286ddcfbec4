// A stand-in plug-in that loads and answers the lookup, but knows no controller class.
#include "platform/ModuleInterface.h"

extern "C" Q_DECL_EXPORT const QMetaObject* DeskbridgeClassFromString(const char*)
{
    return nullptr;
}
