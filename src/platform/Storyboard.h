#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class ViewController;

// The application's storyboard: a process-wide registry of screen factories by identifier.
class Storyboard {
public:
    using Factory = std::function<ViewController*()>;

    // Registers (or replaces) the factory for identifier.
    static void registerFactory(const QString& identifier, Factory factory);
    // A new screen for identifier, owned by the caller; nullptr for an identifier nobody registered.
    static ViewController* instantiate(const QString& identifier);
    static bool contains(const QString& identifier);
    static QStringList identifiers();
    // Forgets every factory; for tests.
    static void reset();
};
