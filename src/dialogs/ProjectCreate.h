#pragma once

#include "dialogs/iCloudAwareDialog.h"

#include <QString>
#include <functional>
#include <memory>

class ViewController;

// Asks for a new project's title and hands it back, or reports that the writer cancelled.
class ProjectCreate : public iCloudAwareDialog {
public:
    using Completion = std::function<void(const QString& title)>;
    using Cancelled = std::function<void()>;

    static inline const QString DialogTitle = QStringLiteral("New Project");
    static inline const QString DialogLabel = QStringLiteral("Enter the title for the project.");
    static inline const QString DialogPlaceholder = QStringLiteral("Project Title");

    static std::shared_ptr<ProjectCreate> create();

    // completion gets the trimmed title on OK; cancelled runs on Cancel. Exactly one of them runs.
    void createProject(ViewController* fromViewController, Completion completion, Cancelled cancelled = {});

private:
    ProjectCreate() = default;

    Completion m_completion;
    Cancelled m_cancelled;
};
