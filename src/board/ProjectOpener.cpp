#include "ProjectOpener.h"

#include "EmptyBoardViewController.h"
#include "ProjectSplitViewController.h"
#include "core/AppDelegate.h"
#include "core/Helpers.h"
#include "core/Project.h"
#include "platform/Storyboard.h"
#include "platform/store/ManagedObject.h"

#include <QMainWindow>
#include <QVariant>

ViewController* ProjectOpener::openProject(QWidget* projectList, ManagedObjectContext* context, ManagedObject* project)
{
    AppDelegate* app = AppDelegate::shared();
    if (!project || !app || !app->window())
        return nullptr;
    const QString projectId = project->value(Project::UniqueIdentifierKey).toString();
    const QString title = project->value(Project::ProjectTitleKey).toString();
    ViewController* board = makeBoard(projectId, title);
    ViewController* sidebar = makeSidebar(context, projectId);
    auto* split = new ProjectSplitViewController(sidebar, board);
    QMainWindow* window = app->window();
    // The list comes back when the writer leaves the project, so the window's root is kept, not dropped.
    app->initialViewController = window->centralWidget() ? window->centralWidget() : projectList;
    app->slideIn(split);
    window->show();
    window->activateWindow();
    return split;
}

ViewController* ProjectOpener::makeBoard(const QString& projectId, const QString& title)
{
    ViewController* board = Storyboard::instantiate(BoardIdentifier);
    if (!board)
        board = new EmptyBoardViewController;
    // The board reads its opening state from these properties, whichever board it is.
    board->setProperty("currentFolderId", TopFolderId);
    board->setProperty("currentProjectId", projectId);
    board->setProperty("currentProjectTitle", title);
    board->setProperty("currentTitle", title);
    return board;
}

ViewController* ProjectOpener::makeSidebar(ManagedObjectContext* context, const QString& projectId)
{
    Q_UNUSED(context)
    ViewController* sidebar = Storyboard::instantiate(SidebarIdentifier);
    if (!sidebar)
        sidebar = new ViewController;
    sidebar->setObjectName(SidebarIdentifier);
    sidebar->setProperty("projectId", projectId);
    QPalette palette = sidebar->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::AlternateBase));
    sidebar->setPalette(palette);
    sidebar->setAutoFillBackground(true);
    return sidebar;
}
