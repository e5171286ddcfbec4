#pragma once

#include "board/PeekCardRequest.h"
#include "core/FolderStackItem.h"
#include "platform/SideMenuSettings.h"
#include "platform/ViewController.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <functional>

class CardProps;
class ManagedObjectContext;
class NoResignTextField;
class PeekCellDelegate;
class PeekCellView;
class PeekListModel;
class Project;
class ProjectItem;
class QListView;
class QMenu;
class QToolButton;
class SideMenuNavigationController;

// The peek panel: the cards of a project folder by folder, beside the editor, so the writer can glance at
// them without leaving it. A menu looks into another project and a filter narrows the list by search terms.
// The card being edited is never listed. A picked card goes to the one open-card hook, which the
// application points at its card opener.
class PeekTableViewController : public ViewController {
    Q_OBJECT

public:
    static inline const QString StoryboardIdentifier = QStringLiteral("peekTableView");
    static inline const QString CurrentProjectLabel = QStringLiteral("Current Project");
    static inline const QString TopLevelLabel = QStringLiteral("Top Level");
    static inline const QString TermsField = QStringLiteral("terms");
    // The panel takes three quarters of the editor's width, never more than MaxMenuWidth points.
    static constexpr double MenuWidthShare = 0.25 * 3.0;
    static constexpr double MaxMenuWidth = 480.0;
    static constexpr double ShadowOpacity = 0.2;
    static constexpr int FilterFieldHeight = 28;
    static constexpr double TitleFontSize = 17;
    static constexpr double SummaryFontSize = 14;

    using OpenCardHook = std::function<void(const PeekCardRequest&)>;

    explicit PeekTableViewController(QWidget* parent = nullptr);
    ~PeekTableViewController() override;

    static void registerInStoryboard();
    // Where picked cards go, for every panel; set once by the application. Without one a pick does nothing.
    static void setOpenCardHook(OpenCardHook hook);
    static const OpenCardHook& openCardHook();

    // The side panel holding peekList, sized for a caller whose view has parentBounds. The caller keeps
    // it and presents it (presentFrom) whenever the panel is asked for again.
    static SideMenuNavigationController* openInSideView(PeekTableViewController* peekList, ViewController* controller,
                                                        const QRectF& parentBounds);
    static void setBlurEffect(SideMenuNavigationController* menu, BlurEffectStyle style);
    static double menuWidthFor(double parentWidth);

    // --- Set by the opening editor before the panel is shown.
    void setManagedObjectContext(ManagedObjectContext* context);
    ManagedObjectContext* managedObjectContext() const { return m_context; }
    // The card being edited; never listed. Setting another card drops the cached rows.
    void setCurrentObject(ProjectItem* currentObject);
    ProjectItem* currentObject() const { return m_currentObject; }
    void setProjectId(const QString& projectId) { m_projectId = projectId; }
    QString projectId() const { return m_projectId; }
    // Kept for the editor; the lists do not depend on it.
    void setFolderId(const QString& folderId) { m_folderId = folderId; }
    QString folderId() const { return m_folderId; }
    void setFolderCards(const QList<ProjectItem*>& folderCards) { m_folderCards = folderCards; }
    QList<ProjectItem*> folderCards() const { return m_folderCards; }
    void setCardProps(CardProps* cardProps) { m_cardProps = cardProps; }
    CardProps* cardProps() const { return m_cardProps; }
    // Run each time the panel is about to appear, and each time it has disappeared.
    void setPrePeek(std::function<void()> prePeek) { m_prePeek = std::move(prePeek); }
    void setPostPeek(std::function<void()> postPeek) { m_postPeek = std::move(postPeek); }

    // --- Read by the editors.
    bool filtering() const;
    // Cached rows by folder id.
    const QHash<QString, QList<ProjectItem*>>& items() const;
    // Drops the cached rows of the folder (when given) and lists again, or filters again while filtering.
    void reloadFolder(const QString& folderId = {});
    // Runs the filter on the field's text.
    void filterEditingChanged();

    // The project listed now.
    QString currentProjectId() const { return m_currentProjectId; }
    // Lists another project; the filter, when one is typed, runs again for it.
    void switchProject(Project* project);
    // Opens the card of a row as the secondary card, through the open-card hook.
    void didSelectRow(const QModelIndex& index);
    // Fills a cell for a card: title, summary and the card type's image in the panel's fonts.
    void configureCell(PeekCellView* cell, ProjectItem* card) const;

    NoResignTextField* filterTextField() const { return m_filterTextField; }
    QToolButton* projectButton() const { return m_projectButton; }
    QListView* tableView() const { return m_tableView; }
    PeekListModel* model() const { return m_model; }
    QMenu* projectMenu() const { return m_projectMenu; }

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<FolderStackItem> loadFolders() const;
    void buildProjectMenu();
    void runFilter();
    void refreshKeepingFocus(const std::function<void()>& refresh);

    ManagedObjectContext* m_context = nullptr;
    ProjectItem* m_currentObject = nullptr;
    QString m_projectId;
    QString m_folderId;
    QList<ProjectItem*> m_folderCards;
    CardProps* m_cardProps = nullptr;
    std::function<void()> m_prePeek;
    std::function<void()> m_postPeek;

    QString m_currentProjectId;
    QList<Project*> m_projects;

    QToolButton* m_projectButton;
    QMenu* m_projectMenu;
    NoResignTextField* m_filterTextField;
    QListView* m_tableView;
    PeekListModel* m_model;
    PeekCellDelegate* m_delegate;
};
