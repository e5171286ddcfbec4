#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

// The desktop's document pickers: a save panel where the writer chooses where an exported document goes, and
// the hand-off of a document to the application the desktop opens its type with. The platform's panel asks
// before it replaces a file. Tests replace both with choices of their own.
class DocumentPicker {
public:
    // Answers the chosen destination path, or nullopt when the writer cancelled.
    using Done = std::function<void(const std::optional<QString>& destination)>;
    // Shows a panel over parent suggesting suggestedName and calls done exactly once.
    using Chooser = std::function<void(QWidget* parent, const QString& suggestedName, Done done)>;
    // Shows an open panel over parent for one existing file matching nameFilters and calls done exactly once.
    using PickChooser =
        std::function<void(QWidget* parent, const QString& title, const QStringList& nameFilters, Done done)>;
    // Opens path in another application; answers whether the desktop accepted it.
    using Opener = std::function<bool(const QString& path)>;

    static inline const QString ExportTitle = QStringLiteral("Export");

    // Lets the writer choose where the document named suggestedName goes; never blocks the caller.
    static void exportDocument(QWidget* parent, const QString& suggestedName, Done done);
    static bool openDocument(const QString& path);
    // Lets the writer choose one existing file to read (nameFilters as QFileDialog takes them); never blocks.
    static void pickDocument(QWidget* parent, const QString& title, const QStringList& nameFilters, Done done);

    // An empty function restores the platform's own.
    static void setChooser(Chooser chooser);
    static void setOpener(Opener opener);
    static void setPickChooser(PickChooser chooser);

private:
    static void platformChooser(QWidget* parent, const QString& suggestedName, Done done);
    static bool platformOpener(const QString& path);
    static void platformPicker(QWidget* parent, const QString& title, const QStringList& nameFilters, Done done);
    static QString startFolder();
};
