#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QImage>
#include <QList>

class ManagedObject;
class Project;

// The project list as the grid shows it: one row per project record, in the order it was given. Covers are
// decoded only when a tile asks for one, and kept until the record's cover or stamp changes, so building the
// model costs no image work and scrolling decodes each visible cover once.
class ProjectListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Roles {
        ProjectRole = Qt::UserRole + 1, // the record, as a ManagedObject* in a QVariant
        CoverRole,                      // the decoded cover as a QImage; null when there is none
        IdentifierRole,
    };

    explicit ProjectListModel(QObject* parent = nullptr);

    // Replaces the rows. The same records in the same order only refresh the tiles, so the view keeps its
    // selection and scroll position.
    void setProjects(const QList<ManagedObject*>& projects);
    const QList<ManagedObject*>& projects() const { return m_projects; }
    ManagedObject* projectAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count, const QModelIndex& destinationParent,
                  int destinationChild) override;

private:
    struct CachedCover {
        qint64 stamp = 0;
        qsizetype bytes = 0;
        QImage image;
    };

    QImage cover(const ManagedObject* project) const;

    QList<ManagedObject*> m_projects;
    mutable QHash<const ManagedObject*, CachedCover> m_covers;
};
