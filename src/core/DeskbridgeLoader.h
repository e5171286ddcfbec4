#pragma once

#include <QObject>
#include <QString>

// Opens the desktop plug-in and makes its controller. The application opens it only from the fixed place
// beside its own program file, so neither the working folder nor the environment can put other code there.
class DeskbridgeLoader {
public:
    static inline const QString FrameworkDirectory = QStringLiteral("Frameworks/Deskbridge.framework");
    static inline const QString LibraryFileName = QStringLiteral("libDeskbridge.so");
    static inline const QString ErrorPrefix = QStringLiteral("[APPKIT BUNDLE] Error loading: ");
    static inline const QString SuccessLine = QStringLiteral("[APPKIT BUNDLE] Loaded Successfully");

    struct Result {
        // The new controller, owned by the caller; nullptr when anything failed.
        QObject* controller = nullptr;
        // Why there is no controller; empty on success.
        QString error;
    };

    // The plug-in's file beside the running program.
    static QString bundlePath();
    // Loads the plug-in from bundlePath(); what launch uses.
    static Result load();
    // Loads the plug-in at libraryPath, an absolute file path, and logs the outcome. Only tests name a path.
    static Result loadFrom(const QString& libraryPath);

private:
    static Result open(const QString& libraryPath);
};
