#pragma once

#include "CardStats.h"
#include "FolderStackItem.h"
#include "platform/store/StoreError.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QVariantList>
#include <optional>

class FetchedResultsController;
class FetchRequest;
class ManagedObject;
class ManagedObjectContext;
class Project;
class ProjectItem;
class ProjectItemDocument;
class QWidget;

// The one access layer through which screens and item operations read, change and save the store.
// Every value a writer typed (identifiers, tags, query words) reaches a query as a bound argument or as
// an escaped literal, never as predicate text of its own. Walks of the folder tree remember where they
// have been and stop at a missing parent, so a folder cycle ends the walk instead of the process. Nothing
// here saves except saveManagedObjectContext().
class DbHelpers {
public:
    static inline const QString SaveErrorLogLine = QStringLiteral("Unable to save record.");
    static inline const QString SaveErrorTitle = QStringLiteral("Warning");
    // %1 is the error's description.
    static inline const QString SaveErrorMessage = QStringLiteral("Error saving: %1.");
    static inline const QString SaveErrorButton = QStringLiteral("OK");
    static inline const QString PathSeparator = QStringLiteral(" > ");

    // --- Lookups: nullptr or an empty list when nothing matches or the fetch fails.
    static Project* getProject(ManagedObjectContext* context, const QString& projectId);
    // Every project by display order.
    static QList<Project*> getProjects(ManagedObjectContext* context);
    static ProjectItem* getItem(ManagedObjectContext* context, const QString& itemId);
    // The body record of a card.
    static ProjectItemDocument* getItemDocument(ManagedObjectContext* context, const QString& itemId);
    // Every folder of the project at any depth, by display order.
    static QList<ProjectItem*> getFolders(ManagedObjectContext* context, const QString& projectId);

    // --- Folder listings, by display order. A start date lists every child changed since then and
    // ignores the filter and the query; an empty query or filter parameter adds no condition.
    static QList<ProjectItem*> getFolderItems(ManagedObjectContext* context, const QString& projectId,
                                              const QString& folderId, qint64 itemType, const QString& filterParm,
                                              const QString& query,
                                              const std::optional<QDateTime>& startDate = std::nullopt);
    // Every child, folders and cards.
    static QList<ProjectItem*> getFolderItems(ManagedObjectContext* context, const QString& projectId,
                                              const QString& folderId);
    // The cards among the children, leaving out excludingItemId when it is not empty.
    static QList<ProjectItem*> getFolderCardItems(ManagedObjectContext* context, const QString& projectId,
                                                  const QString& folderId, const QString& excludingItemId = {});
    // Every card of the project in any folder matching the query fragment of Indexer::predicate().
    static QList<ProjectItem*> getCardsForQuery(ManagedObjectContext* context, const QString& projectId,
                                                const QString& query);
    // The same, only the cards matching the query fragment of Indexer::predicate() (all for an empty one).
    static QList<ProjectItem*> getFolderCardItems(ManagedObjectContext* context, const QString& projectId,
                                                  const QString& folderId, const QString& excludingItemId,
                                                  const QString& query);
    // How many cards each folder of the project holds (folder id → count), leaving out excludingItemId when
    // it is not empty and, with a query fragment, the cards it does not match. Read in one pass without
    // making records; a folder without such cards has no entry.
    static QHash<QString, qint64> getFolderCardCounts(ManagedObjectContext* context, const QString& projectId,
                                                      const QString& excludingItemId = {}, const QString& query = {});

    // --- Counts, through count requests; 0 when the count fails.
    static quint64 getFolderItemsCount(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                       qint64 itemType, const QString& filterParm, const QString& query,
                                       const std::optional<QDateTime>& startDate = std::nullopt);
    static quint64 getFolderItemsCount(ManagedObjectContext* context, const QString& projectId,
                                       const QString& folderId);
    // Cards of the whole project. predicateFragment is a ready predicate text of the caller's own (the
    // filter table builds it from escaped literals); it is used only when it parses on its own.
    static quint64 getProjectItemsCount(ManagedObjectContext* context, const QString& projectId, qint64 itemType,
                                        const QString& predicateFragment, const QString& query,
                                        const std::optional<QDateTime>& startDate = std::nullopt);
    // Objects in the controller's one section; 0 before it has fetched.
    static qint64 fetchedItemCount(const FetchedResultsController* controller);

    // --- Presence tests: whether the folder holds, at any depth, a card the listing admits.
    static bool folderHasItems(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                               qint64 itemType, const QString& filterParm, const QString& query,
                               const std::optional<QDateTime>& startDate = std::nullopt);
    static bool folderHasQueryItems(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                    const QString& query);

    // --- Predicate texts. Fragments admit every folder; values in them are escaped literals.
    static QString predicateForFilter(qint64 itemType, const QString& filterParm);
    // The query fragment admitting folders; empty for an empty query; folders only for a query that is
    // no predicate of its own.
    static QString predicateForQuery(const QString& query);
    // Start of the recent-change filters 5124 to 5126; nullopt for any other code.
    static std::optional<QDateTime> dateForRecentFilter(qint64 itemType);
    // text as a single-quoted predicate literal, backslash and quote escaped.
    static QString quoted(const QString& text);

    // --- Saving. On failure logs the error and, with a presenter, shows the "Warning" alert over it.
    // Nothing is rolled back: the changes stay pending for the next save. Answers whether it saved.
    static bool saveManagedObjectContext(ManagedObjectContext* context, QWidget* presenter = nullptr);
    // The same for the given records alone: every other pending change (an open editor's) stays pending.
    static bool saveManagedObjects(ManagedObjectContext* context, const QList<ManagedObject*>& objects,
                                   QWidget* presenter = nullptr);

    // --- Folder tree.
    // Folders the item may move to, each with its path, depth first and siblings in display order.
    static QList<FolderStackItem> getPossibleTargetFolders(ManagedObjectContext* context, const QString& projectId,
                                                           ProjectItem* item, const QString& parentId);
    static QList<FolderStackItem> flattenFolderTree(ManagedObjectContext* context, const QList<FolderStackItem>& list,
                                                    ProjectItem* item, const QString& parentId);
    // Appends entry with its path and, below it, every folder of fullList inside it. An entry already in
    // output is never added twice.
    static void addFolderToTree(const FolderStackItem& entry, const QList<FolderStackItem>& fullList,
                                QList<FolderStackItem>& output, const QString& folderPath = {});
    // Whether targetItem lies inside sourceItem (or is it), so that moving sourceItem there is refused.
    static bool isDescendentFolder(ManagedObjectContext* context, ProjectItem* sourceItem, ProjectItem* targetItem);
    // Titles from the top level down to the item, joined by " > "; stops at a missing parent.
    static QString pathForItem(ManagedObjectContext* context, const QString& itemId);
    static CardStats getCardStats(ManagedObjectContext* context, const QString& projectId, const QString& folderId);
    static bool hasManuscriptCards(ManagedObjectContext* context, const QString& projectId, const QString& folderId);

    // --- Deletion (nothing saved).
    // The project and every record that carries its id: items (orphans too), documents, writing
    // records and settings.
    static void deleteProject(ManagedObjectContext* context, const QString& projectId);
    // Everything below the folder, and the folder itself unless it is the root "_top".
    static void deleteFolder(ManagedObjectContext* context, const QString& projectId, const QString& itemId);
    static void deleteStats(ManagedObjectContext* context, const QString& projectId);
    static void deleteSettings(ManagedObjectContext* context, const QString& projectId);
    // The item and every document whose parentItemId is the item.
    static void deleteItem(ManagedObjectContext* context, const QString& itemId);

    // --- Renumbering. Only records whose number changes get the new number and a lastModified stamp;
    // deleted records and the record with skipId keep theirs and use up no number.
    static void reorderCards(const FetchedResultsController* controller, std::optional<int> fromRow, int toRow,
                             const QString& skipId = {});
    // Numbers cards from 1 in their order once the card at fromIndex (cards are in the order before the move)
    // sits at toIndex; without both indexes (either negative) in their present order. filteredCards, when a
    // different non-empty list, gets the same numbers on records with the same identifier.
    static void reorderCards(const QList<ManagedObject*>& cards, const QList<ManagedObject*>& filteredCards,
                             int fromIndex, int toIndex, const QString& skipId = {});
    // Numbers the folder's full child list, as the store holds it, from 1, leaving out skipId. The safe
    // renumbering after a card leaves a folder: a list shown under a filter or search would repeat numbers.
    static void renumberFolderItems(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                    const QString& skipId = {});

    // --- Modification stamps (nothing saved).
    // Stamps the record, every folder above it and its project with the present moment.
    static void updateModDatePath(ManagedObjectContext* context, ProjectItem* sourceRecord);
    static void updateProjectModDate(ManagedObjectContext* context, const QString& projectId);

private:
    // Logs a failed save and shows the "Warning" alert over presenter; answers whether there was no error.
    static bool reportSaveError(const std::optional<StoreError>& error, QWidget* presenter);
    // A predicate format with its bound arguments; not valid once a fragment was refused.
    struct Query {
        QString format;
        QVariantList arguments;
        bool valid = true;
    };

    static Query folderListingPredicate(const QString& projectId, const QString& folderId, qint64 itemType,
                                        const QString& filterParm, const QString& query,
                                        const std::optional<QDateTime>& startDate);
    // Cards of the project (of one folder when folderId is not null), but excludingItemId, matching query.
    static Query cardsPredicate(const QString& projectId, const QString& folderId, const QString& excludingItemId,
                                const QString& query);
    static bool isWholePredicate(const QString& fragment);
    static bool appendFragment(Query& query, const QString& fragment);
    static bool appendQuery(Query& query, const QString& words);
    static QList<ProjectItem*> fetchItems(ManagedObjectContext* context, const FetchRequest& request);
    static bool folderHasItems(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                               qint64 itemType, const QString& filterParm, const QString& query,
                               const std::optional<QDateTime>& startDate, QSet<QString>& visited);
    static bool folderHasQueryItems(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                    const QString& query, QSet<QString>& visited);
    static CardStats getCardStats(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                  QSet<QString>& visited);
    static bool hasManuscriptCards(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                   QSet<QString>& visited);
    static void deleteFolder(ManagedObjectContext* context, const QString& projectId, const QString& itemId,
                             QSet<QString>& visited);
    static void deleteAll(ManagedObjectContext* context, const FetchRequest& request);
    static bool setNumber(ManagedObject* record, qint64 number, const QDateTime& now);
};
