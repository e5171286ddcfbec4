#include "Storyboard.h"

#include "ViewController.h"

#include <QHash>

namespace {

QHash<QString, Storyboard::Factory>& factories()
{
    static QHash<QString, Storyboard::Factory> registry;
    return registry;
}

} // namespace

void Storyboard::registerFactory(const QString& identifier, Factory factory)
{
    if (factory)
        factories().insert(identifier, std::move(factory));
    else
        factories().remove(identifier);
}

ViewController* Storyboard::instantiate(const QString& identifier)
{
    const auto found = factories().constFind(identifier);
    return found == factories().cend() ? nullptr : (*found)();
}

bool Storyboard::contains(const QString& identifier)
{
    return factories().contains(identifier);
}

QStringList Storyboard::identifiers()
{
    QStringList names = factories().keys();
    names.sort();
    return names;
}

void Storyboard::reset()
{
    factories().clear();
}
