#include "DeskbridgeLoader.h"

#include "platform/ModuleInterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <cstdio>

QString DeskbridgeLoader::bundlePath()
{
    const QDir programDirectory(QCoreApplication::applicationDirPath());
    return programDirectory.filePath(FrameworkDirectory + u'/' + LibraryFileName);
}

DeskbridgeLoader::Result DeskbridgeLoader::load()
{
    return loadFrom(bundlePath());
}

DeskbridgeLoader::Result DeskbridgeLoader::loadFrom(const QString& libraryPath)
{
    Result result = open(libraryPath);
    const QString line = result.controller ? SuccessLine : ErrorPrefix + result.error;
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
    return result;
}

DeskbridgeLoader::Result DeskbridgeLoader::open(const QString& libraryPath)
{
    const QFileInfo file(libraryPath);
    // A relative name would send the dynamic loader searching its own paths, the environment's included.
    if (!file.isAbsolute())
        return {nullptr, QStringLiteral("%1 is not an absolute path").arg(libraryPath)};
    if (!file.isFile())
        return {nullptr, QStringLiteral("no plug-in at %1").arg(libraryPath)};

    // Never unloaded: the controller and every object it hands out run code from the library.
    QLibrary library(file.absoluteFilePath());
    library.setLoadHints(QLibrary::PreventUnloadHint);
    if (!library.load())
        return {nullptr, library.errorString()};
    auto lookup = reinterpret_cast<Deskbridge::ClassLookup>(library.resolve(Deskbridge::ClassLookupSymbol));
    if (!lookup)
        return {nullptr, QStringLiteral("%1 has no %2").arg(libraryPath, QLatin1String(Deskbridge::ClassLookupSymbol))};
    const QMetaObject* controllerClass = lookup(Deskbridge::ControllerClassName);
    if (!controllerClass)
        return {nullptr, QStringLiteral("no class named %1").arg(QLatin1String(Deskbridge::ControllerClassName))};
    QObject* controller = controllerClass->newInstance();
    if (!controller)
        return {nullptr, QStringLiteral("%1 cannot be created").arg(QLatin1String(Deskbridge::ControllerClassName))};
    return {controller, {}};
}
