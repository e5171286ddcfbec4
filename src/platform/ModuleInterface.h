#pragma once

#include <QMetaObject>

// What the application and the plug-in agree on across the library boundary: one exported C function that
// answers the class for a runtime class name. Kept free of any code, so both sides include it without linking.
namespace Deskbridge {

// The exported function's name, looked up with QLibrary::resolve.
inline constexpr const char* ClassLookupSymbol = "DeskbridgeClassFromString";
// The runtime name of the controller class, module first, as the application asks for it.
inline constexpr const char* ControllerClassName = "Deskbridge.AppKitController";

// Answers the class with that runtime name, or nullptr when the module has none. The class is made with
// QMetaObject::newInstance(), so it declares an invokable constructor without arguments.
using ClassLookup = const QMetaObject* (*)(const char* runtimeName);

} // namespace Deskbridge
