#include "DbHelpers.h"

#include "Project.h"
#include "ProjectItem.h"
#include "ProjectItemDocument.h"
#include "ProjectSetting.h"
#include "ProjectStat.h"
#include "SettingsHelper.h"
#include "StoreConstants.h"
#include "platform/Alert.h"
#include "platform/store/FetchedResultsController.h"
#include "platform/store/ManagedObjectContext.h"

#include <QDebug>
#include <QHash>

namespace {

const QString DisplayOrderKey = QStringLiteral("displayOrder");
const QString LastModifiedKey = QStringLiteral("lastModified");
const QString UniqueIdentifierKey = QStringLiteral("uniqueIdentifier");

template <class T> QList<T*> fetchAs(ManagedObjectContext* context, const FetchRequest& request)
{
    QList<T*> records;
    if (!context)
        return records;
    const QList<ManagedObject*> objects = context->fetch(request);
    records.reserve(objects.size());
    for (ManagedObject* object : objects)
        records.append(static_cast<T*>(object));
    return records;
}

template <class T> T* fetchFirst(ManagedObjectContext* context, const QString& key, const QString& value)
{
    FetchRequest request = T::fetchRequest();
    request.setPredicate(QStringLiteral("%1 == %@").arg(key), {value});
    request.setFetchLimit(1);
    const QList<T*> records = fetchAs<T>(context, request);
    return records.isEmpty() ? nullptr : records.first();
}

FetchRequest sortedByDisplayOrder(FetchRequest request)
{
    request.setSortDescriptors({{DisplayOrderKey, true}});
    return request;
}

bool isFolder(const ProjectItem* item)
{
    return item->itemType() == ProjectItemTypes::Folder;
}

// Children of one folder by index into a folder list, in list order.
using ChildIndex = QHash<QString, QList<qsizetype>>;

ChildIndex indexChildren(const QList<FolderStackItem>& list)
{
    ChildIndex children;
    for (qsizetype i = 0; i < list.size(); ++i)
        children[list[i].folderParentId()].append(i);
    return children;
}

// parentPath is null at the top level, where the path is the title alone.
void addToTree(const FolderStackItem& entry, const QList<FolderStackItem>& fullList, const ChildIndex& children,
               QList<FolderStackItem>& output, const QString* parentPath, QSet<QString>& visited)
{
    if (visited.contains(entry.folderId()))
        return;
    visited.insert(entry.folderId());
    FolderStackItem added = entry;
    added.setFolderPath(parentPath ? *parentPath + DbHelpers::PathSeparator + entry.folderTitle()
                                   : entry.folderTitle());
    output.append(added);
    const QString path = added.folderPath();
    for (qsizetype child : children.value(entry.folderId()))
        addToTree(fullList[child], fullList, children, output, &path, visited);
}

QString describeError(const StoreError& error)
{
    return QStringLiteral("StoreError(code %1, \"%2\")").arg(error.sqliteCode).arg(error.message);
}

} // namespace

// --- Lookups

Project* DbHelpers::getProject(ManagedObjectContext* context, const QString& projectId)
{
    return fetchFirst<Project>(context, Project::UniqueIdentifierKey, projectId);
}

QList<Project*> DbHelpers::getProjects(ManagedObjectContext* context)
{
    return fetchAs<Project>(context, sortedByDisplayOrder(Project::fetchRequest()));
}

ProjectItem* DbHelpers::getItem(ManagedObjectContext* context, const QString& itemId)
{
    return fetchFirst<ProjectItem>(context, ProjectItem::UniqueIdentifierKey, itemId);
}

ProjectItemDocument* DbHelpers::getItemDocument(ManagedObjectContext* context, const QString& itemId)
{
    return fetchFirst<ProjectItemDocument>(context, ProjectItemDocument::ParentItemIdKey, itemId);
}

QList<ProjectItem*> DbHelpers::getFolders(ManagedObjectContext* context, const QString& projectId)
{
    FetchRequest request = sortedByDisplayOrder(ProjectItem::fetchRequest());
    request.setPredicate(QStringLiteral("(projectId == %@) AND (itemType == %ld)"),
                         {projectId, ProjectItemTypes::Folder});
    return fetchAs<ProjectItem>(context, request);
}

// --- Predicates

QString DbHelpers::quoted(const QString& text)
{
    QString literal;
    literal.reserve(text.size() + 2);
    literal.append(QLatin1Char('\''));
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('\''))
            literal.append(QLatin1Char('\\'));
        literal.append(c);
    }
    literal.append(QLatin1Char('\''));
    return literal;
}

QString DbHelpers::predicateForFilter(qint64 itemType, const QString& filterParm)
{
    const QString folder = QString::number(ProjectItemTypes::Folder);
    switch (itemType) {
    case CardFilter::OpenIssues:
        return QStringLiteral("(itemType == %1 or ((itemType == %2 or itemType == %3 or itemType == %4) and "
                              "(tag == nil or tag != 'done')))")
            .arg(folder)
            .arg(ProjectItemTypes::Question)
            .arg(ProjectItemTypes::Reminder)
            .arg(ProjectItemTypes::Idea);
    case CardFilter::WithNotes:
        return QStringLiteral("(itemType == %1 or (notes != nil AND notes != ''))").arg(folder);
    case CardFilter::Tagged:
        return QStringLiteral("(itemType == %1 or tag == %2)").arg(folder, quoted(filterParm));
    default:
        return QStringLiteral("(itemType == %1 or itemType == %2)").arg(folder).arg(itemType);
    }
}

QString DbHelpers::predicateForQuery(const QString& query)
{
    if (query.trimmed().isEmpty())
        return {};
    // A query that is no predicate of its own could close the brackets around it; it matches no card.
    if (!Predicate::parse(query).isValid())
        return QStringLiteral("(itemType == ") + QString::number(ProjectItemTypes::Folder) + QStringLiteral(")");
    // Concatenated, not formatted: a query may itself hold "%1".
    return QStringLiteral("((") + query + QStringLiteral(") OR (itemType == ") +
           QString::number(ProjectItemTypes::Folder) + QStringLiteral("))");
}

std::optional<QDateTime> DbHelpers::dateForRecentFilter(qint64 itemType)
{
    const QDateTime now = QDateTime::currentDateTime();
    switch (itemType) {
    case CardFilter::Last24Hours:
        return now.addSecs(-24 * 60 * 60);
    case CardFilter::Last7Days:
        return now.addDays(-7);
    case CardFilter::Last30Days:
        return now.addDays(-30);
    default:
        return std::nullopt;
    }
}

bool DbHelpers::isWholePredicate(const QString& fragment)
{
    const Predicate alone = Predicate::parse(fragment);
    if (!alone.isValid())
        qWarning().noquote() << "Refused a malformed predicate fragment:" << alone.errorString();
    return alone.isValid();
}

bool DbHelpers::appendFragment(Query& query, const QString& fragment)
{
    if (fragment.trimmed().isEmpty())
        return true;
    // A fragment is text made elsewhere (the search terms, the filter table). Only a fragment that is a
    // whole predicate by itself may join, and always in parentheses: then it can narrow the listing but
    // never reach past the project and folder conditions, whatever quotes or brackets it holds.
    if (!isWholePredicate(fragment)) {
        query.valid = false;
        return false;
    }
    query.format += QStringLiteral(" AND (%1)").arg(fragment);
    return true;
}

bool DbHelpers::appendQuery(Query& query, const QString& words)
{
    if (words.trimmed().isEmpty())
        return true;
    // Checked before it is wrapped: wrapped, a query that closes brackets early could pass as whole.
    if (!isWholePredicate(words)) {
        query.valid = false;
        return false;
    }
    return appendFragment(query, predicateForQuery(words));
}

DbHelpers::Query DbHelpers::folderListingPredicate(const QString& projectId, const QString& folderId, qint64 itemType,
                                                   const QString& filterParm, const QString& query,
                                                   const std::optional<QDateTime>& startDate)
{
    Query listing{QStringLiteral("(projectId == %@) AND (parentItemId == %@)"), {projectId, folderId}};
    // The recent-change codes select by date; a caller that passes only the code still gets its cards.
    const std::optional<QDateTime> since = startDate ? startDate : dateForRecentFilter(itemType);
    if (since) {
        listing.format += QStringLiteral(" AND lastModified >= %@");
        listing.arguments.append(*since);
        return listing;
    }
    if (itemType != CardFilter::AllCards)
        appendFragment(listing, predicateForFilter(itemType, filterParm));
    appendQuery(listing, query);
    return listing;
}

QList<ProjectItem*> DbHelpers::fetchItems(ManagedObjectContext* context, const FetchRequest& request)
{
    return fetchAs<ProjectItem>(context, request);
}

// --- Folder listings

QList<ProjectItem*> DbHelpers::getFolderItems(ManagedObjectContext* context, const QString& projectId,
                                              const QString& folderId, qint64 itemType, const QString& filterParm,
                                              const QString& query, const std::optional<QDateTime>& startDate)
{
    const Query listing = folderListingPredicate(projectId, folderId, itemType, filterParm, query, startDate);
    if (!listing.valid)
        return {};
    FetchRequest request = sortedByDisplayOrder(ProjectItem::fetchRequest());
    request.setPredicate(listing.format, listing.arguments);
    return fetchItems(context, request);
}

QList<ProjectItem*> DbHelpers::getFolderItems(ManagedObjectContext* context, const QString& projectId,
                                              const QString& folderId)
{
    return getFolderItems(context, projectId, folderId, CardFilter::AllCards, {}, {});
}

QList<ProjectItem*> DbHelpers::getFolderCardItems(ManagedObjectContext* context, const QString& projectId,
                                                  const QString& folderId, const QString& excludingItemId)
{
    FetchRequest request = sortedByDisplayOrder(ProjectItem::fetchRequest());
    if (excludingItemId.isEmpty()) {
        request.setPredicate(QStringLiteral("(projectId == %@) AND (parentItemId == %@) AND (itemType != %ld)"),
                             {projectId, folderId, ProjectItemTypes::Folder});
    } else {
        request.setPredicate(QStringLiteral("(projectId == %@) AND (parentItemId == %@) AND (itemType != %ld) "
                                            "AND (uniqueIdentifier != %@)"),
                             {projectId, folderId, ProjectItemTypes::Folder, excludingItemId});
    }
    return fetchItems(context, request);
}

QList<ProjectItem*> DbHelpers::getCardsForQuery(ManagedObjectContext* context, const QString& projectId,
                                                const QString& query)
{
    Query search{QStringLiteral("(projectId == %@) AND (itemType != %ld)"), {projectId, ProjectItemTypes::Folder}};
    if (!appendFragment(search, query))
        return {};
    FetchRequest request = sortedByDisplayOrder(ProjectItem::fetchRequest());
    request.setPredicate(search.format, search.arguments);
    return fetchItems(context, request);
}

QList<ProjectItem*> DbHelpers::getFolderCardItems(ManagedObjectContext* context, const QString& projectId,
                                                  const QString& folderId, const QString& excludingItemId,
                                                  const QString& query)
{
    const Query cards =
        cardsPredicate(projectId, folderId.isNull() ? QStringLiteral("") : folderId, excludingItemId, query);
    if (!cards.valid)
        return {};
    FetchRequest request = sortedByDisplayOrder(ProjectItem::fetchRequest());
    request.setPredicate(cards.format, cards.arguments);
    return fetchItems(context, request);
}

QHash<QString, qint64> DbHelpers::getFolderCardCounts(ManagedObjectContext* context, const QString& projectId,
                                                      const QString& excludingItemId, const QString& query)
{
    QHash<QString, qint64> counts;
    const Query cards = cardsPredicate(projectId, QString(), excludingItemId, query);
    if (!context || !cards.valid)
        return counts;
    FetchRequest request = ProjectItem::fetchRequest();
    request.setPredicate(cards.format, cards.arguments);
    context->fetchValues(request, {ProjectItem::ParentItemIdKey}, [&counts](const QVariantList& values) {
        ++counts[values.value(0).toString()];
        return true;
    });
    return counts;
}

DbHelpers::Query DbHelpers::cardsPredicate(const QString& projectId, const QString& folderId,
                                           const QString& excludingItemId, const QString& query)
{
    Query cards{QStringLiteral("(projectId == %@) AND (itemType != %ld)"), {projectId, ProjectItemTypes::Folder}};
    if (!folderId.isNull()) {
        cards.format += QStringLiteral(" AND (parentItemId == %@)");
        cards.arguments.append(folderId);
    }
    if (!excludingItemId.isEmpty()) {
        cards.format += QStringLiteral(" AND (uniqueIdentifier != %@)");
        cards.arguments.append(excludingItemId);
    }
    appendFragment(cards, query);
    return cards;
}

// --- Counts

quint64 DbHelpers::getFolderItemsCount(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                       qint64 itemType, const QString& filterParm, const QString& query,
                                       const std::optional<QDateTime>& startDate)
{
    const Query listing = folderListingPredicate(projectId, folderId, itemType, filterParm, query, startDate);
    if (!context || !listing.valid)
        return 0;
    FetchRequest request = ProjectItem::fetchRequest();
    request.setPredicate(listing.format, listing.arguments);
    return quint64(qMax<qint64>(0, context->count(request)));
}

quint64 DbHelpers::getFolderItemsCount(ManagedObjectContext* context, const QString& projectId, const QString& folderId)
{
    return getFolderItemsCount(context, projectId, folderId, CardFilter::AllCards, {}, {});
}

quint64 DbHelpers::getProjectItemsCount(ManagedObjectContext* context, const QString& projectId, qint64 itemType,
                                        const QString& predicateFragment, const QString& query,
                                        const std::optional<QDateTime>& startDate)
{
    if (!context)
        return 0;
    Query counting{QStringLiteral("(projectId == %@) AND (itemType != %ld)"), {projectId, ProjectItemTypes::Folder}};
    // The date goes first so that its bound argument can never be taken by a placeholder in a fragment.
    if (startDate) {
        counting.format += QStringLiteral(" AND lastModified >= %@");
        counting.arguments.append(*startDate);
    }
    if (itemType != CardFilter::AllCards) {
        counting.format += QStringLiteral(" AND (itemType == %ld)");
        counting.arguments.append(itemType);
    }
    if (!appendFragment(counting, predicateFragment) || !appendQuery(counting, query))
        return 0;
    FetchRequest request = ProjectItem::fetchRequest();
    request.setPredicate(counting.format, counting.arguments);
    return quint64(qMax<qint64>(0, context->count(request)));
}

qint64 DbHelpers::fetchedItemCount(const FetchedResultsController* controller)
{
    if (!controller || controller->sectionCount() == 0)
        return 0;
    return controller->count();
}

// --- Presence tests

bool DbHelpers::folderHasItems(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                               qint64 itemType, const QString& filterParm, const QString& query,
                               const std::optional<QDateTime>& startDate)
{
    QSet<QString> visited;
    return folderHasItems(context, projectId, folderId, itemType, filterParm, query, startDate, visited);
}

bool DbHelpers::folderHasItems(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                               qint64 itemType, const QString& filterParm, const QString& query,
                               const std::optional<QDateTime>& startDate, QSet<QString>& visited)
{
    if (visited.contains(folderId))
        return false;
    visited.insert(folderId);
    for (ProjectItem* child : getFolderItems(context, projectId, folderId, itemType, filterParm, query, startDate)) {
        if (!isFolder(child))
            return true;
        if (folderHasItems(context, projectId, child->uniqueIdentifier(), itemType, filterParm, query, startDate,
                           visited))
            return true;
    }
    return false;
}

bool DbHelpers::folderHasQueryItems(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                    const QString& query)
{
    QSet<QString> visited;
    return folderHasQueryItems(context, projectId, folderId, query, visited);
}

bool DbHelpers::folderHasQueryItems(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                    const QString& query, QSet<QString>& visited)
{
    if (visited.contains(folderId))
        return false;
    visited.insert(folderId);
    Query children{QStringLiteral("(projectId == %@) AND (parentItemId == %@)"), {projectId, folderId}};
    if (!appendQuery(children, query))
        return false;
    FetchRequest request = ProjectItem::fetchRequest();
    request.setPredicate(children.format, children.arguments);
    for (ProjectItem* child : fetchItems(context, request)) {
        if (!isFolder(child))
            return true;
        if (folderHasQueryItems(context, projectId, child->uniqueIdentifier(), query, visited))
            return true;
    }
    return false;
}

// --- Saving

bool DbHelpers::saveManagedObjectContext(ManagedObjectContext* context, QWidget* presenter)
{
    if (!context)
        return false;
    return reportSaveError(context->save(), presenter);
}

bool DbHelpers::saveManagedObjects(ManagedObjectContext* context, const QList<ManagedObject*>& objects,
                                   QWidget* presenter)
{
    if (!context)
        return false;
    return reportSaveError(context->saveObjects(objects), presenter);
}

bool DbHelpers::reportSaveError(const std::optional<StoreError>& error, QWidget* presenter)
{
    if (!error)
        return true;
    qWarning().noquote() << SaveErrorLogLine;
    qWarning().noquote() << QStringLiteral("%1, %2").arg(describeError(*error), error->description());
    if (presenter) {
        auto* alert = new Alert(SaveErrorTitle, SaveErrorMessage.arg(error->description()));
        alert->addAction(SaveErrorButton, AlertActionStyle::Default);
        alert->present(presenter);
    }
    return false;
}

// --- Folder tree

QList<FolderStackItem> DbHelpers::getPossibleTargetFolders(ManagedObjectContext* context, const QString& projectId,
                                                           ProjectItem* item, const QString& parentId)
{
    QList<FolderStackItem> folders;
    for (ProjectItem* folder : getFolders(context, projectId))
        folders.append(FolderStackItem(folder->uniqueIdentifier(), folder->parentItemId(), folder->title(), folder));
    return flattenFolderTree(context, folders, item, parentId);
}

QList<FolderStackItem> DbHelpers::flattenFolderTree(ManagedObjectContext* context, const QList<FolderStackItem>& list,
                                                    ProjectItem* item, const QString& parentId)
{
    const ChildIndex children = indexChildren(list);
    QList<FolderStackItem> tree;
    QSet<QString> visited;
    for (qsizetype top : children.value(ItemIds::Top))
        addToTree(list[top], list, children, tree, nullptr, visited);

    const QString itemId = item ? item->uniqueIdentifier() : QString();
    QList<FolderStackItem> targets;
    for (const FolderStackItem& entry : tree) {
        if (entry.folderId() == parentId || entry.folderId() == itemId)
            continue;
        if (isDescendentFolder(context, item, entry.folderRecord()))
            continue;
        targets.append(entry);
    }
    return targets;
}

void DbHelpers::addFolderToTree(const FolderStackItem& entry, const QList<FolderStackItem>& fullList,
                                QList<FolderStackItem>& output, const QString& folderPath)
{
    QSet<QString> visited;
    for (const FolderStackItem& added : output)
        visited.insert(added.folderId());
    addToTree(entry, fullList, indexChildren(fullList), output, folderPath.isNull() ? nullptr : &folderPath, visited);
}

bool DbHelpers::isDescendentFolder(ManagedObjectContext* context, ProjectItem* sourceItem, ProjectItem* targetItem)
{
    if (!sourceItem || !targetItem || !isFolder(sourceItem))
        return false;
    const QString sourceId = sourceItem->uniqueIdentifier();
    if (sourceId == targetItem->uniqueIdentifier())
        return true;
    if (targetItem->parentItemId() == ItemIds::Top)
        return false;
    QSet<QString> visited{targetItem->uniqueIdentifier()};
    ProjectItem* current = targetItem;
    while (true) {
        const QString parentId = current->parentItemId();
        if (parentId == sourceId)
            return true;
        ProjectItem* parent = getItem(context, parentId);
        if (!parent || visited.contains(parentId))
            return false;
        visited.insert(parentId);
        const QString grandParentId = parent->parentItemId();
        if (grandParentId.isEmpty() || grandParentId == parentId || grandParentId == ItemIds::Top)
            return false;
        current = parent;
    }
}

QString DbHelpers::pathForItem(ManagedObjectContext* context, const QString& itemId)
{
    QStringList titles;
    QSet<QString> visited;
    QString id = itemId;
    while (!id.isEmpty() && id != ItemIds::Top && !visited.contains(id)) {
        visited.insert(id);
        ProjectItem* item = getItem(context, id);
        if (!item)
            break;
        titles.prepend(item->title());
        id = item->parentItemId();
    }
    return titles.join(PathSeparator);
}

CardStats DbHelpers::getCardStats(ManagedObjectContext* context, const QString& projectId, const QString& folderId)
{
    QSet<QString> visited;
    return getCardStats(context, projectId, folderId, visited);
}

CardStats DbHelpers::getCardStats(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                  QSet<QString>& visited)
{
    CardStats stats;
    if (visited.contains(folderId))
        return stats;
    visited.insert(folderId);
    for (ProjectItem* child : getFolderItems(context, projectId, folderId)) {
        if (isFolder(child)) {
            stats += getCardStats(context, projectId, child->uniqueIdentifier(), visited);
            continue;
        }
        ++stats.totalCardCount;
        if (child->itemType() == ProjectItemTypes::Story) {
            ++stats.manuscriptCardCount;
            stats.wordCount += child->wordCount();
            stats.charCount += child->charCount();
        }
    }
    return stats;
}

bool DbHelpers::hasManuscriptCards(ManagedObjectContext* context, const QString& projectId, const QString& folderId)
{
    QSet<QString> visited;
    return hasManuscriptCards(context, projectId, folderId, visited);
}

bool DbHelpers::hasManuscriptCards(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                   QSet<QString>& visited)
{
    if (visited.contains(folderId))
        return false;
    visited.insert(folderId);
    for (ProjectItem* child : getFolderItems(context, projectId, folderId)) {
        if (child->itemType() == ProjectItemTypes::Story)
            return true;
        if (isFolder(child) && hasManuscriptCards(context, projectId, child->uniqueIdentifier(), visited))
            return true;
    }
    return false;
}

// --- Deletion

void DbHelpers::deleteAll(ManagedObjectContext* context, const FetchRequest& request)
{
    for (ManagedObject* object : context->fetch(request)) {
        if (!object->isDeleted())
            context->deleteObject(object);
    }
}

void DbHelpers::deleteItem(ManagedObjectContext* context, const QString& itemId)
{
    ProjectItem* item = getItem(context, itemId);
    if (!item)
        return;
    // A card has one body, but a merge of two devices can leave more; none may outlive the card.
    FetchRequest documents = ProjectItemDocument::fetchRequest();
    documents.setPredicate(QStringLiteral("parentItemId == %@"), {itemId});
    deleteAll(context, documents);
    context->deleteObject(item);
}

void DbHelpers::deleteFolder(ManagedObjectContext* context, const QString& projectId, const QString& itemId)
{
    if (!context)
        return;
    QSet<QString> visited;
    deleteFolder(context, projectId, itemId, visited);
}

void DbHelpers::deleteFolder(ManagedObjectContext* context, const QString& projectId, const QString& itemId,
                             QSet<QString>& visited)
{
    if (visited.contains(itemId))
        return;
    visited.insert(itemId);
    for (ProjectItem* child : getFolderItems(context, projectId, itemId)) {
        if (isFolder(child))
            deleteFolder(context, projectId, child->uniqueIdentifier(), visited);
        else
            deleteItem(context, child->uniqueIdentifier());
    }
    if (itemId != ItemIds::Top)
        deleteItem(context, itemId);
}

void DbHelpers::deleteStats(ManagedObjectContext* context, const QString& projectId)
{
    if (!context)
        return;
    FetchRequest records = ProjectStat::fetchRequest();
    records.setPredicate(QStringLiteral("projectId == %@"), {projectId});
    for (ManagedObject* record : context->fetch(records))
        context->deleteObject(record);
}

void DbHelpers::deleteSettings(ManagedObjectContext* context, const QString& projectId)
{
    if (!context)
        return;
    for (ProjectSetting* setting : SettingsHelper::fetchSettings(projectId, context))
        context->deleteObject(setting);
}

void DbHelpers::deleteProject(ManagedObjectContext* context, const QString& projectId)
{
    if (!context)
        return;
    deleteFolder(context, projectId, ItemIds::Top);
    // The walk from the root misses items whose folder is gone or that sit in a folder cycle; they and
    // their bodies belong to the project all the same.
    FetchRequest orphans = ProjectItem::fetchRequest();
    orphans.setPredicate(QStringLiteral("projectId == %@"), {projectId});
    for (ManagedObject* orphan : context->fetch(orphans)) {
        FetchRequest documents = ProjectItemDocument::fetchRequest();
        documents.setPredicate(QStringLiteral("parentItemId == %@"), {orphan->value(UniqueIdentifierKey)});
        deleteAll(context, documents);
        if (!orphan->isDeleted())
            context->deleteObject(orphan);
    }
    FetchRequest documents = ProjectItemDocument::fetchRequest();
    documents.setPredicate(QStringLiteral("projectId == %@"), {projectId});
    deleteAll(context, documents);
    deleteStats(context, projectId);
    deleteSettings(context, projectId);
    FetchRequest projects = Project::fetchRequest();
    projects.setPredicate(QStringLiteral("uniqueIdentifier == %@"), {projectId});
    deleteAll(context, projects);
}

// --- Renumbering

bool DbHelpers::setNumber(ManagedObject* record, qint64 number, const QDateTime& now)
{
    const QVariant current = record->value(DisplayOrderKey);
    if (!current.isNull() && current.toLongLong() == number)
        return false;
    record->setValue(DisplayOrderKey, number);
    record->setValue(LastModifiedKey, now);
    return true;
}

void DbHelpers::reorderCards(const FetchedResultsController* controller, std::optional<int> fromRow, int toRow,
                             const QString& skipId)
{
    if (!controller)
        return;
    const QList<ManagedObject*> records = controller->fetchedObjects().mid(0, fetchedItemCount(controller));
    reorderCards(records, records, fromRow.value_or(-1), toRow, skipId);
}

void DbHelpers::reorderCards(const QList<ManagedObject*>& cards, const QList<ManagedObject*>& filteredCards,
                             int fromIndex, int toIndex, const QString& skipId)
{
    const qsizetype count = cards.size();
    // Numbering from the target on and giving the moved card the target's number left two cards sharing a
    // number when a card moved down, and undid the move when it moved up; the whole list is numbered in the
    // order it has after the move instead (only changed numbers are written).
    QList<ManagedObject*> ordered = cards;
    if (fromIndex >= 0 && toIndex >= 0 && fromIndex < count && toIndex < count)
        ordered.move(fromIndex, toIndex);
    const QDateTime now = QDateTime::currentDateTime();
    QHash<QString, QList<ManagedObject*>> mirrors;
    if (&filteredCards != &cards) {
        for (ManagedObject* mirror : filteredCards)
            mirrors[mirror->value(UniqueIdentifierKey).toString()].append(mirror);
    }
    qint64 number = 1;
    for (ManagedObject* record : std::as_const(ordered)) {
        const QString id = record->value(UniqueIdentifierKey).toString();
        if (record->isDeleted() || (!skipId.isEmpty() && id == skipId))
            continue;
        setNumber(record, number, now);
        for (ManagedObject* mirror : mirrors.value(id)) {
            if (mirror != record && !mirror->isDeleted())
                setNumber(mirror, number, now);
        }
        ++number;
    }
}

void DbHelpers::renumberFolderItems(ManagedObjectContext* context, const QString& projectId, const QString& folderId,
                                    const QString& skipId)
{
    QList<ManagedObject*> children;
    for (ProjectItem* child : getFolderItems(context, projectId, folderId))
        children.append(child);
    reorderCards(children, children, -1, -1, skipId);
}

// --- Modification stamps

void DbHelpers::updateModDatePath(ManagedObjectContext* context, ProjectItem* sourceRecord)
{
    if (!context || !sourceRecord)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const QString projectId = sourceRecord->projectId();
    QSet<QString> visited;
    ProjectItem* record = sourceRecord;
    // Up the chain to the root; a missing folder or a cycle ends the walk, and the project is stamped
    // either way, for the change happened inside it.
    while (record && !visited.contains(record->uniqueIdentifier())) {
        visited.insert(record->uniqueIdentifier());
        record->setLastModified(now);
        const QString parentId = record->parentItemId();
        if (parentId.isEmpty() || parentId == ItemIds::Top)
            break;
        record = getItem(context, parentId);
    }
    if (Project* project = getProject(context, projectId))
        project->setLastModified(now);
}

void DbHelpers::updateProjectModDate(ManagedObjectContext* context, const QString& projectId)
{
    if (Project* project = getProject(context, projectId))
        project->setLastModified(QDateTime::currentDateTime());
}
