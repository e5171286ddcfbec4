#pragma once

#include "core/FolderStackItem.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QVector>

class ManagedObjectContext;
class ProjectItem;

// The peek panel's list: one section per folder, a header row heading each section and one row per card.
// A folder's cards are read from the store only when one of its rows is first shown and stay cached until
// dropped; the number of rows of a folder not yet read comes from one count of the whole project. While
// filtering, the sections are only the folders holding matching cards, and the rows those cards, read the
// same way, so a filter matching every card of a large project costs one count, not every record.
class PeekListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { RowKindRole = Qt::UserRole + 1 };
    enum class RowKind { Header, Card };

    explicit PeekListModel(QObject* parent = nullptr);

    void setContext(ManagedObjectContext* context) { m_context = context; }
    // The card being edited, left out of every list: its cached rows are dropped.
    void setExcludedItemId(const QString& itemId);
    QString excludedItemId() const { return m_excludedId; }

    // Lists the project's folders afresh, unfiltered, with no rows cached.
    void showProject(const QString& projectId, const QList<FolderStackItem>& folders);
    // Shows only the folders holding cards that match the query fragment of Indexer::predicate(), in
    // folder order, with those cards; an empty query shows every folder again.
    void showFiltered(const QString& query);
    void showUnfiltered() { showFiltered(QString()); }
    // Drops the cached rows of one folder; they are read again when next shown.
    void dropFolder(const QString& folderId) { m_items.remove(folderId); }
    // Lists the sections again, counting the rows of folders not cached afresh.
    void reload();

    bool isFiltering() const { return !m_query.isEmpty(); }
    QString query() const { return m_query; }
    QString projectId() const { return m_projectId; }
    const QList<FolderStackItem>& folders() const { return m_folders; }
    const QHash<QString, QList<ProjectItem*>>& items() const { return m_items; }
    const QList<FolderStackItem>& filteredFolders() const { return m_filteredFolders; }
    const QHash<QString, QList<ProjectItem*>>& filteredItems() const { return m_filteredItems; }

    // The sections shown now.
    int sectionCount() const { return int(shownFolders().size()); }
    FolderStackItem sectionFolder(int section) const;
    int rowsInSection(int section) const;
    // The section's cards, read from the store if they were not yet.
    QList<ProjectItem*> sectionItems(int section);
    int sectionOfRow(int row) const;
    QModelIndex indexForHeader(int section) const;
    QModelIndex indexForCard(int section, int row) const;
    // The card of a card row (its section read if needed); nullptr for a header or a row beyond its list.
    ProjectItem* itemAt(const QModelIndex& index);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const QList<FolderStackItem>& shownFolders() const { return isFiltering() ? m_filteredFolders : m_folders; }
    QHash<QString, QList<ProjectItem*>>& shownItems() { return isFiltering() ? m_filteredItems : m_items; }
    void recount();
    void countRows();
    const QList<ProjectItem*>& loadSection(int section);
    void scheduleRelist();

    ManagedObjectContext* m_context = nullptr;
    QString m_projectId;
    QString m_excludedId;
    QString m_query;
    QList<FolderStackItem> m_folders;
    QHash<QString, QList<ProjectItem*>> m_items;
    QList<FolderStackItem> m_filteredFolders;
    QHash<QString, QList<ProjectItem*>> m_filteredItems;
    // Cards per folder (matching cards while filtering), for folders whose rows were not read yet.
    QHash<QString, qint64> m_counts;
    // First flat row (the header) of each shown section, and its number of card rows.
    QVector<int> m_sectionStarts;
    QVector<int> m_sectionRows;
    int m_rowCount = 0;
    bool m_relistPending = false;
};
