#include "CardListModel.h"

#include "SingleRowMove.h"
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "dialogs/TagMenuController.h"

CardListModel::CardListModel(QObject* parent) : QAbstractListModel(parent)
{
}

void CardListModel::setCountSource(ManagedObjectContext* context, const QString& projectId, qint64 filter,
                                   const QString& filterParm, const QString& query)
{
    m_context = context;
    m_projectId = projectId;
    m_filter = filter;
    m_filterParm = filterParm;
    m_query = query;
    m_folderCounts.clear();
}

void CardListModel::setItems(const QList<ProjectItem*>& items)
{
    if (items == m_items) {
        refresh();
        return;
    }
    beginResetModel();
    m_items = items;
    m_images.clear();
    m_folderCounts.clear();
    endResetModel();
}

ProjectItem* CardListModel::itemAt(int row) const
{
    return (row >= 0 && row < m_items.size()) ? m_items.at(row) : nullptr;
}

void CardListModel::refresh()
{
    m_images.clear();
    m_folderCounts.clear();
    if (!m_items.isEmpty())
        emit dataChanged(index(0), index(int(m_items.size()) - 1));
}

void CardListModel::refreshItem(const ProjectItem* item)
{
    const qsizetype row = m_items.indexOf(item);
    if (row < 0)
        return;
    m_images.remove(item);
    m_folderCounts.remove(item);
    emit dataChanged(index(int(row)), index(int(row)));
}

bool CardListModel::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                             const QModelIndex& destinationParent, int destinationChild)
{
    const std::optional<int> to =
        SingleRowMove::target(sourceParent, sourceRow, count, destinationParent, destinationChild, int(m_items.size()));
    if (!to || !beginMoveRows(QModelIndex(), sourceRow, sourceRow, QModelIndex(), destinationChild))
        return false;
    m_items.move(sourceRow, *to);
    endMoveRows();
    return true;
}

bool CardListModel::isFolder(const ProjectItem* item)
{
    return item->itemType() == ProjectItemTypes::Folder;
}

QString CardListModel::footerText(const ProjectItem* item, bool compact)
{
    if (item->itemFormat() == ProjectItemFormats::Sketch || isFolder(item))
        return {};
    const QString words = QStringLiteral("Words: ") + QString::number(item->wordCount());
    if (compact)
        return words;
    return words + QStringLiteral(" Characters: ") + QString::number(item->charCount());
}

QString CardListModel::itemCountText(qint64 count)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? QStringLiteral("item") : QStringLiteral("items"));
}

int CardListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QImage CardListModel::summaryImage(const ProjectItem* item) const
{
    auto cached = m_images.constFind(item);
    if (cached != m_images.constEnd())
        return *cached;
    const QByteArray bytes = item->summaryImage();
    // Bytes that do not decode leave the image empty.
    const QImage image = bytes.isEmpty() ? QImage() : QImage::fromData(bytes);
    m_images.insert(item, image);
    return image;
}

qint64 CardListModel::folderCount(const ProjectItem* item) const
{
    auto cached = m_folderCounts.constFind(item);
    if (cached != m_folderCounts.constEnd())
        return *cached;
    const qint64 count =
        qint64(DbHelpers::getFolderItemsCount(m_context, m_projectId, item->uniqueIdentifier(), m_filter, m_filterParm,
                                              m_query, DbHelpers::dateForRecentFilter(m_filter)));
    m_folderCounts.insert(item, count);
    return count;
}

QVariant CardListModel::data(const QModelIndex& index, int role) const
{
    const ProjectItem* item = itemAt(index.row());
    if (!index.isValid() || !item)
        return {};
    switch (role) {
    case ItemRole:
        return QVariant::fromValue(const_cast<ProjectItem*>(item));
    case IsFolderRole:
        return isFolder(item);
    case Qt::DisplayRole:
    case TitleRole:
        return item->title();
    case SummaryRole:
        return isFolder(item) ? QString() : item->summary();
    case SummaryImageRole:
        return isFolder(item) ? QImage() : summaryImage(item);
    case TagSymbolRole: {
        const QString tag = item->tag();
        return (tag.isEmpty() || tag == TagMenuController::ClearTag) ? QString() : TagMenuController::getTag(tag);
    }
    case HasNotesRole:
        return !item->notes().isEmpty();
    case CompactFooterRole:
        return footerText(item, true);
    case LargeFooterRole:
        return footerText(item, false);
    case FolderSubtitleRole:
        if (!isFolder(item) || item->itemFormat() == ProjectItemFormats::Sketch || !m_context)
            return QString();
        return itemCountText(folderCount(item));
    case ItemTypeRole:
        return item->itemType();
    default:
        return {};
    }
}
