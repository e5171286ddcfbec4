#include "ProjectListModel.h"

#include "SingleRowMove.h"
#include "core/Project.h"
#include "platform/store/ManagedObject.h"

#include <QDateTime>

ProjectListModel::ProjectListModel(QObject* parent) : QAbstractListModel(parent)
{
}

void ProjectListModel::setProjects(const QList<ManagedObject*>& projects)
{
    if (projects == m_projects) {
        if (!m_projects.isEmpty())
            emit dataChanged(index(0), index(int(m_projects.size()) - 1));
        return;
    }
    beginResetModel();
    m_projects = projects;
    // Records that left the list take their covers with them.
    for (auto it = m_covers.begin(); it != m_covers.end();) {
        if (m_projects.contains(const_cast<ManagedObject*>(it.key())))
            ++it;
        else
            it = m_covers.erase(it);
    }
    endResetModel();
}

ManagedObject* ProjectListModel::projectAt(int row) const
{
    return row >= 0 && row < m_projects.size() ? m_projects[row] : nullptr;
}

int ProjectListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_projects.size());
}

QVariant ProjectListModel::data(const QModelIndex& index, int role) const
{
    const ManagedObject* project = index.isValid() ? projectAt(index.row()) : nullptr;
    if (!project)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return project->value(Project::ProjectTitleKey).toString();
    case ProjectRole:
        return QVariant::fromValue(static_cast<void*>(const_cast<ManagedObject*>(project)));
    case CoverRole:
        return cover(project);
    case IdentifierRole:
        return project->value(Project::UniqueIdentifierKey).toString();
    default:
        return {};
    }
}

Qt::ItemFlags ProjectListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool ProjectListModel::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                                const QModelIndex& destinationParent, int destinationChild)
{
    const std::optional<int> to = SingleRowMove::target(sourceParent, sourceRow, count, destinationParent,
                                                        destinationChild, int(m_projects.size()));
    if (!to || !beginMoveRows(QModelIndex(), sourceRow, sourceRow, QModelIndex(), destinationChild))
        return false;
    m_projects.move(sourceRow, *to);
    endMoveRows();
    return true;
}

QImage ProjectListModel::cover(const ManagedObject* project) const
{
    const QVariant data = project->value(Project::ImageKey);
    if (data.isNull()) {
        m_covers.remove(project);
        return {};
    }
    const QByteArray bytes = data.toByteArray();
    const qint64 stamp = project->value(Project::LastModifiedKey).toDateTime().toMSecsSinceEpoch();
    auto found = m_covers.constFind(project);
    if (found != m_covers.constEnd() && found->stamp == stamp && found->bytes == bytes.size())
        return found->image;
    CachedCover entry{stamp, bytes.size(), QImage::fromData(bytes)};
    m_covers.insert(project, entry);
    return entry.image;
}
