#pragma once

#include <QString>

class ManagedObject;
class ManagedObjectContext;
class QWidget;
class ViewController;

// Opens a project from the project list: the board (from the storyboard under "cardViewController", or the
// empty board until one is registered) beside the filter sidebar in a split view, which replaces the window's
// root with the reveal from the right. The project list stays alive as the application's initial screen.
class ProjectOpener {
public:
    static inline const QString BoardIdentifier = QStringLiteral("cardViewController");
    static inline const QString SidebarIdentifier = QStringLiteral("sidebarViewController");
    static inline const QString TopFolderId = QStringLiteral("_top");

    // The split view now on its way to the screen, or nullptr when there is no project or no window.
    static ViewController* openProject(QWidget* projectList, ManagedObjectContext* context, ManagedObject* project);
    // The board set up for the project: top folder, identifier and title.
    static ViewController* makeBoard(const QString& projectId, const QString& title);
    static ViewController* makeSidebar(ManagedObjectContext* context, const QString& projectId);
};
