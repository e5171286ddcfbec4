#include "PeekListModel.h"

#include "core/DbHelpers.h"
#include "core/ProjectItem.h"

#include <QMetaObject>
#include <algorithm>

PeekListModel::PeekListModel(QObject* parent) : QAbstractListModel(parent)
{
}

void PeekListModel::setExcludedItemId(const QString& itemId)
{
    if (itemId == m_excludedId)
        return;
    m_excludedId = itemId;
    beginResetModel();
    m_items.clear();
    for (QList<ProjectItem*>& cards : m_filteredItems) {
        cards.removeIf([&itemId](ProjectItem* card) { return card->uniqueIdentifier() == itemId; });
    }
    if (!m_filtering)
        m_counts = DbHelpers::getFolderCardCounts(m_context, m_projectId, m_excludedId);
    countRows();
    endResetModel();
}

void PeekListModel::showProject(const QString& projectId, const QList<FolderStackItem>& folders)
{
    beginResetModel();
    m_projectId = projectId;
    m_folders = folders;
    m_items.clear();
    m_filtering = false;
    m_filteredFolders.clear();
    m_filteredItems.clear();
    m_counts = DbHelpers::getFolderCardCounts(m_context, m_projectId, m_excludedId);
    countRows();
    endResetModel();
}

void PeekListModel::showFiltered(const QList<FolderStackItem>& folders,
                                 const QHash<QString, QList<ProjectItem*>>& items)
{
    beginResetModel();
    m_filtering = true;
    m_filteredFolders = folders;
    m_filteredItems = items;
    countRows();
    endResetModel();
}

void PeekListModel::showUnfiltered()
{
    beginResetModel();
    m_filtering = false;
    m_counts = DbHelpers::getFolderCardCounts(m_context, m_projectId, m_excludedId);
    countRows();
    endResetModel();
}

void PeekListModel::reload()
{
    m_relistPending = false;
    beginResetModel();
    if (!m_filtering)
        m_counts = DbHelpers::getFolderCardCounts(m_context, m_projectId, m_excludedId);
    countRows();
    endResetModel();
}

void PeekListModel::countRows()
{
    const QList<FolderStackItem>& folders = shownFolders();
    m_sectionStarts.resize(folders.size());
    m_sectionRows.resize(folders.size());
    int row = 0;
    for (qsizetype section = 0; section < folders.size(); ++section) {
        const QString folderId = folders[section].folderId();
        qsizetype cards = 0;
        if (m_filtering)
            cards = m_filteredItems.value(folderId).size();
        else if (auto cached = m_items.constFind(folderId); cached != m_items.constEnd())
            cards = cached->size();
        else
            cards = m_counts.value(folderId);
        m_sectionStarts[section] = row;
        m_sectionRows[section] = int(cards);
        row += 1 + int(cards);
    }
    m_rowCount = row;
}

FolderStackItem PeekListModel::sectionFolder(int section) const
{
    return shownFolders().value(section);
}

int PeekListModel::rowsInSection(int section) const
{
    return m_sectionRows.value(section);
}

QList<ProjectItem*> PeekListModel::sectionItems(int section)
{
    if (section < 0 || section >= sectionCount())
        return {};
    return loadSection(section);
}

const QList<ProjectItem*>& PeekListModel::loadSection(int section)
{
    const QString folderId = shownFolders()[section].folderId();
    if (m_filtering)
        return m_filteredItems[folderId];
    auto cached = m_items.find(folderId);
    if (cached != m_items.end())
        return *cached;
    cached = m_items.insert(folderId, DbHelpers::getFolderCardItems(m_context, m_projectId, folderId, m_excludedId));
    // The store changed since the rows were counted: the list is laid out again once painting is over.
    if (cached->size() != m_sectionRows[section])
        scheduleRelist();
    return *cached;
}

void PeekListModel::scheduleRelist()
{
    if (m_relistPending)
        return;
    m_relistPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_relistPending)
                reload();
        },
        Qt::QueuedConnection);
}

int PeekListModel::sectionOfRow(int row) const
{
    if (row < 0 || row >= m_rowCount)
        return -1;
    const auto after = std::upper_bound(m_sectionStarts.cbegin(), m_sectionStarts.cend(), row);
    return int(after - m_sectionStarts.cbegin()) - 1;
}

QModelIndex PeekListModel::indexForHeader(int section) const
{
    if (section < 0 || section >= m_sectionStarts.size())
        return {};
    return index(m_sectionStarts[section]);
}

QModelIndex PeekListModel::indexForCard(int section, int row) const
{
    if (section < 0 || section >= m_sectionStarts.size() || row < 0 || row >= m_sectionRows[section])
        return {};
    return index(m_sectionStarts[section] + 1 + row);
}

ProjectItem* PeekListModel::itemAt(const QModelIndex& index)
{
    const int section = sectionOfRow(index.row());
    if (section < 0)
        return nullptr;
    const int row = index.row() - m_sectionStarts[section] - 1;
    if (row < 0)
        return nullptr;
    return loadSection(section).value(row);
}

int PeekListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

QVariant PeekListModel::data(const QModelIndex& index, int role) const
{
    const int section = sectionOfRow(index.row());
    if (section < 0)
        return {};
    const bool header = index.row() == m_sectionStarts[section];
    if (role == RowKindRole)
        return int(header ? RowKind::Header : RowKind::Card);
    if (role != Qt::DisplayRole)
        return {};
    if (header)
        return shownFolders()[section].folderPath();
    // Reading a folder's rows on first show is the point of this list; the cache is no visible state.
    ProjectItem* card = const_cast<PeekListModel*>(this)->itemAt(index);
    return card ? card->title() : QString();
}

Qt::ItemFlags PeekListModel::flags(const QModelIndex& index) const
{
    const int section = sectionOfRow(index.row());
    if (section < 0)
        return Qt::NoItemFlags;
    if (index.row() == m_sectionStarts[section])
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
