#pragma once

#include "dialogs/iCloudAwareDialog.h"

#include <QString>
#include <functional>
#include <memory>

class ViewController;

// Asks for a new folder's title and hands it back; whoever asked creates the folder.
class FolderCreate : public iCloudAwareDialog {
public:
    using Completion = std::function<void(const QString& title)>;

    static inline const QString DialogTitle = QStringLiteral("New Folder");
    static inline const QString DialogLabel = QStringLiteral("Enter the title for the folder.");
    static inline const QString DialogPlaceholder = QStringLiteral("Folder Title");

    static std::shared_ptr<FolderCreate> create();

    // completion gets the trimmed title on OK; cancelling calls nothing.
    void createFolder(ViewController* fromViewController, Completion completion);

private:
    FolderCreate() = default;

    Completion m_completion;
};
