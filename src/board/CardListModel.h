#pragma once

#include <QAbstractListModel>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QList>
#include <optional>

class ManagedObjectContext;
class ProjectItem;

// The board's listing as its grid shows it: one row per item of the filtered and searched list, in the
// order given. Everything a cell shows is worked out only when a visible cell asks for it and kept until the
// rows change, so a folder of thousands of cards costs no per-cell work until it scrolls into view.
class CardListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Roles {
        ItemRole = Qt::UserRole + 1, // the record, as a ProjectItem* in a QVariant
        IsFolderRole,
        TitleRole,
        SummaryRole,
        SummaryImageRole, // decoded QImage; null when there is none or it does not decode
        TagSymbolRole,    // symbol name of the item's tag; empty without a known tag
        HasNotesRole,
        CompactFooterRole,
        LargeFooterRole,
        FolderSubtitleRole, // "n item(s)" for folders, passing the board's filter and search
        ItemTypeRole,
    };

    explicit CardListModel(QObject* parent = nullptr);

    // Where folder counts come from: the board's store, project, filter and search.
    void setCountSource(ManagedObjectContext* context, const QString& projectId, qint64 filter,
                        const QString& filterParm, const QString& query);
    // Replaces the rows; the same items in the same order only refresh the cells.
    void setItems(const QList<ProjectItem*>& items);
    const QList<ProjectItem*>& items() const { return m_items; }
    ProjectItem* itemAt(int row) const;
    // Forgets what cells showed, for a redraw after the records changed in place.
    void refresh();
    // The same for one item's cell; nothing when the item is not shown.
    void refreshItem(const ProjectItem* item);

    // "Words: w" (compact) or "Words: w Characters: c" (large); empty for folders and sketches.
    static QString footerText(const ProjectItem* item, bool compact);
    // "%ld item" or "%ld items".
    static QString itemCountText(qint64 count);
    static bool isFolder(const ProjectItem* item);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // One row at a time, as the drag layout moves the carried item.
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count, const QModelIndex& destinationParent,
                  int destinationChild) override;

private:
    QImage summaryImage(const ProjectItem* item) const;
    qint64 folderCount(const ProjectItem* item) const;

    QList<ProjectItem*> m_items;
    ManagedObjectContext* m_context = nullptr;
    QString m_projectId;
    qint64 m_filter = 0;
    QString m_filterParm;
    QString m_query;
    mutable QHash<const ProjectItem*, QImage> m_images;
    mutable QHash<const ProjectItem*, qint64> m_folderCounts;
};
