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
    m_items.clear();
    m_filteredItems.clear();
    reload();
}

void PeekListModel::showProject(const QString& projectId, const QList<FolderStackItem>& folders)
{
    m_projectId = projectId;
    m_folders = folders;
    m_items.clear();
    m_query.clear();
    reload();
}

void PeekListModel::showFiltered(const QString& query)
{
    m_query = query;
    m_filteredItems.clear();
    reload();
}

void PeekListModel::reload()
{
    m_relistPending = false;
    beginResetModel();
    recount();
    endResetModel();
}

void PeekListModel::recount()
{
    m_counts = DbHelpers::getFolderCardCounts(m_context, m_projectId, m_excludedId, m_query);
    m_filteredFolders.clear();
    if (isFiltering()) {
        for (const FolderStackItem& folder : std::as_const(m_folders)) {
            if (m_counts.contains(folder.folderId()) || !m_filteredItems.value(folder.folderId()).isEmpty())
                m_filteredFolders.append(folder);
        }
    }
    countRows();
}

void PeekListModel::countRows()
{
    const QList<FolderStackItem>& folders = shownFolders();
    const QHash<QString, QList<ProjectItem*>>& cached = isFiltering() ? m_filteredItems : m_items;
    m_sectionStarts.resize(folders.size());
    m_sectionRows.resize(folders.size());
    int row = 0;
    for (qsizetype section = 0; section < folders.size(); ++section) {
        const QString folderId = folders[section].folderId();
        const auto read = cached.constFind(folderId);
        const qsizetype cards = read != cached.constEnd() ? read->size() : m_counts.value(folderId);
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
    QHash<QString, QList<ProjectItem*>>& cache = shownItems();
    auto cached = cache.find(folderId);
    if (cached != cache.end())
        return *cached;
    cached =
        cache.insert(folderId, DbHelpers::getFolderCardItems(m_context, m_projectId, folderId, m_excludedId, m_query));
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
