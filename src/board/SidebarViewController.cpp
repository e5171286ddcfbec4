#include "SidebarViewController.h"

#include "ProjectSplitViewController.h"
#include "PvCardViewController.h"
#include "SidebarBadgeDelegate.h"
#include "core/AppDelegate.h"
#include "core/CardProps.h"
#include "core/StoreConstants.h"
#include "platform/SymbolIcons.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

using Filters = FilterManager::Filters;

constexpr int FilterRole = Qt::UserRole + 1;

// The system symbol of a row; none for a card type's row, which shows the type's picture.
QString rowSymbol(Filters filter)
{
    switch (filter) {
    case Filters::allCards:
        return QStringLiteral("rectangle.stack");
    case Filters::recent24Hours:
        return QStringLiteral("clock");
    case Filters::recent7Days:
    case Filters::recent30Days:
        return QStringLiteral("calendar");
    case Filters::openIssueCards:
        return QStringLiteral("exclamationmark.triangle");
    case Filters::cardsWithNotes:
        return QStringLiteral("text.bubble");
    case Filters::cardsWithTag:
        return QStringLiteral("tag");
    default:
        return {};
    }
}

QIcon rowImage(Filters filter, const CardProps& props)
{
    const QString symbol = rowSymbol(filter);
    return symbol.isEmpty() ? props.propForIntCardType(FilterManager::boardFilterCode(filter)).image()
                            : SymbolIcons::icon(symbol);
}

} // namespace

SidebarViewController::SidebarViewController(ManagedObjectContext* context, const QString& projectId, QWidget* parent)
    : ViewController(parent), m_context(context), m_collectionView(new QTreeWidget(this))
{
    if (!m_context && AppDelegate::shared())
        m_context = AppDelegate::shared()->managedObjectContext();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_collectionView);
    m_collectionView->setHeaderHidden(true);
    m_collectionView->setRootIsDecorated(false);
    m_collectionView->setIndentation(8);
    m_collectionView->setFrameShape(QFrame::NoFrame);
    m_collectionView->setItemDelegate(new SidebarBadgeDelegate(m_collectionView));
    m_collectionView->setIconSize(QSize(20, 20));
    connect(m_collectionView, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { rowChosen(item); });
    connect(m_collectionView, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { rowChosen(item); });
    setProjectId(projectId);
}

void SidebarViewController::setProjectId(const QString& projectId)
{
    m_projectId = projectId;
    m_filterManager = std::make_unique<FilterManager>(m_context, projectId);
    reload();
}

void SidebarViewController::rebuildRows()
{
    const CardProps props;
    FilterManager::Counts counts = m_filterManager->cardTypeCounts();
    counts.insert(m_filterManager->recentCounts());
    counts.insert(m_filterManager->otherFilterCounts());
    m_sections = {{}, {}, {}};
    for (Filters filter : FilterManager::allCases()) {
        const int section = int(filter) <= int(Filters::reminderCards)  ? 0
                            : int(filter) <= int(Filters::recent30Days) ? 1
                                                                        : 2;
        const QString subtitle = filter == Filters::cardsWithTag ? QString() : QString::number(counts.value(filter));
        m_sections[section].append({filter, FilterManager::title(filter), subtitle, rowImage(filter, props)});
    }
}

void SidebarViewController::reload()
{
    rebuildRows();
    m_collectionView->clear();
    for (int section = 0; section < m_sections.size(); ++section) {
        auto* header = new QTreeWidgetItem(m_collectionView, {SectionTitles.at(section)});
        header->setFlags(Qt::ItemIsEnabled);
        QFont font = m_collectionView->font();
        font.setPixelSize(11);
        font.setBold(true);
        header->setFont(0, font);
        header->setForeground(0, QColor(Qt::gray));
        for (const SidebarItem& row : m_sections.at(section)) {
            auto* item = new QTreeWidgetItem(header, {row.title});
            item->setIcon(0, row.image);
            item->setData(0, FilterRole, int(row.id));
            item->setData(0, SidebarBadgeDelegate::CountRole, row.subtitle);
            item->setData(0, SidebarBadgeDelegate::SymbolRole, !rowSymbol(row.id).isEmpty());
            // Tests and assistive tools find a row by its title.
            item->setData(0, Qt::AccessibleTextRole, row.title);
        }
    }
    m_collectionView->expandAll();
    select(m_filterType);
}

QTreeWidgetItem* SidebarViewController::rowItem(Filters filter) const
{
    for (int section = 0; section < m_collectionView->topLevelItemCount(); ++section) {
        QTreeWidgetItem* header = m_collectionView->topLevelItem(section);
        for (int row = 0; row < header->childCount(); ++row) {
            if (header->child(row)->data(0, FilterRole).toInt() == int(filter))
                return header->child(row);
        }
    }
    return nullptr;
}

void SidebarViewController::select(qint64 filterType)
{
    m_filterType = filterType;
    const Filters filter = FilterManager::filterForBoardCode(filterType).value_or(Filters::allCards);
    QTreeWidgetItem* item = rowItem(filter);
    if (!item)
        return;
    m_selecting = true;
    m_collectionView->setCurrentItem(item);
    m_collectionView->scrollToItem(item);
    m_selecting = false;
}

PvCardViewController* SidebarViewController::board() const
{
    for (QWidget* up = parentWidget(); up; up = up->parentWidget()) {
        if (auto* split = qobject_cast<ProjectSplitViewController*>(up))
            return qobject_cast<PvCardViewController*>(split->secondaryViewController());
    }
    return nullptr;
}

void SidebarViewController::rowChosen(QTreeWidgetItem* item)
{
    if (m_selecting || !item || !item->parent())
        return;
    PvCardViewController* cardBoard = board();
    if (!cardBoard)
        return;
    const auto filter = Filters(item->data(0, FilterRole).toInt());
    if (filter == Filters::cardsWithTag) {
        // The filter changes only once a tag is chosen; until then the current row stays selected.
        select(m_filterType);
        cardBoard->showTagFilterChooser();
        return;
    }
    m_filterType = FilterManager::boardFilterCode(filter);
    cardBoard->setItemFilter(m_filterType, QStringLiteral(""));
}
