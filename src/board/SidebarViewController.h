#pragma once

#include "FilterManager.h"
#include "platform/ViewController.h"

#include <QIcon>
#include <QString>
#include <memory>

class ManagedObjectContext;
class PvCardViewController;
class QTreeWidget;
class QTreeWidgetItem;

// The filter sidebar beside the board: three sections of filters with the number of the project's cards each
// would show. Choosing a row sets the board's filter; the board asks for fresh counts after its cards change.
class SidebarViewController : public ViewController {
    Q_OBJECT
    Q_PROPERTY(QString projectId READ projectId WRITE setProjectId)

public:
    static inline const QStringList SectionTitles = {QStringLiteral("Card Type"), QStringLiteral("Recent"),
                                                     QStringLiteral("Other Filters")};

    struct SidebarItem {
        FilterManager::Filters id;
        QString title;
        // The count as decimal text; null for the tag row.
        QString subtitle;
        QIcon image;
    };

    explicit SidebarViewController(ManagedObjectContext* context = nullptr, const QString& projectId = {},
                                   QWidget* parent = nullptr);


    QString projectId() const { return m_projectId; }
    // Counts follow the new project from now on.
    void setProjectId(const QString& projectId);
    qint64 filterType() const { return m_filterType; }

    // Recounts every row and selects the current filter's row again.
    void reload();
    // Selects the row of a board filter code ("All Cards" for a code no row shows) and keeps the code.
    void select(qint64 filterType);
    const QList<QList<SidebarItem>>& sections() const { return m_sections; }
    QTreeWidget* collectionView() const { return m_collectionView; }
    // The row widget item standing for a filter.
    QTreeWidgetItem* rowItem(FilterManager::Filters filter) const;

private:
    void rebuildRows();
    void rowChosen(QTreeWidgetItem* item);
    PvCardViewController* board() const;

    ManagedObjectContext* m_context;
    QString m_projectId;
    qint64 m_filterType = 1;
    std::unique_ptr<FilterManager> m_filterManager;
    QList<QList<SidebarItem>> m_sections;
    QTreeWidget* m_collectionView;
    bool m_selecting = false;
};
