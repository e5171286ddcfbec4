#include "DialogMenuController.h"

#include "core/Metrics.h"
#include "dialogs/DialogMenuCellView.h"
#include "platform/BarButtonItem.h"
#include "platform/NavigationItem.h"
#include "platform/SymbolIcons.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

// Designed sizes, shown smaller on the desktop.
constexpr double DesignedRowHeight = 44;
constexpr double DesignedFontSize = 17;
constexpr double DesignedIconSize = 24;

} // namespace

DialogMenuController::DialogMenuController(const QString& title, const QList<DialogMenuItem>& items,
                                           Completion completion, QWidget* parent)
    : DialogBaseController(parent), m_items(items), m_completion(std::move(completion))
{
    setObjectName(QStringLiteral("DialogMenuController"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tableView = new QListWidget(this);
    m_tableView->setObjectName(QStringLiteral("tableView"));
    m_tableView->setFrameShape(QFrame::NoFrame);
    m_tableView->setSelectionMode(QAbstractItemView::NoSelection);
    m_tableView->setUniformItemSizes(true);
    layout->addWidget(m_tableView);
    connect(m_tableView, &QListWidget::clicked, this, [this](const QModelIndex& index) { didSelectRow(index.row()); });
    connect(m_tableView, &QListWidget::activated, this,
            [this](const QModelIndex& index) { didSelectRow(index.row()); });

    setTitle(title);
    loadViewIfNeeded();
    roundCorners();
}

int DialogMenuController::rowHeight()
{
    return static_cast<int>(Metrics::scaled(DesignedRowHeight));
}

int DialogMenuController::labelFontSize()
{
    return static_cast<int>(Metrics::scaled(DesignedFontSize));
}

int DialogMenuController::iconSize()
{
    return static_cast<int>(Metrics::scaled(DesignedIconSize));
}

void DialogMenuController::viewDidLoad()
{
    DialogBaseController::viewDidLoad();
    fillRows();
    auto* close = new BarButtonItem(SymbolIcons::icon(CloseSymbol), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setEnabled(true);
    connect(close, &QAction::triggered, this, &DialogMenuController::done);
    navigationItem()->setRightBarButtonItem(close);
    applyColors();
    colorsApplied();
}

void DialogMenuController::fillRows()
{
    const int height = rowHeight();
    const int icon = iconSize();
    for (const DialogMenuItem& item : std::as_const(m_items)) {
        auto* row = new QListWidgetItem(m_tableView);
        row->setSizeHint(QSize(0, height));
        auto* cell = new DialogMenuCellView;
        QFont font = cell->itemLabelView()->font();
        font.setPixelSize(labelFontSize());
        cell->itemLabelView()->setFont(font);
        cell->itemLabelView()->setText(item.label());
        // Whatever the image's own size, the icon takes the same square.
        cell->itemImageView()->setFixedSize(icon, icon);
        cell->itemImageView()->setPixmap(item.image().isNull() ? QPixmap() : item.image().pixmap(icon, icon));
        m_tableView->setItemWidget(row, cell);
    }
}

void DialogMenuController::viewWillAppear(bool animated)
{
    DialogBaseController::viewWillAppear(animated);
    styleNavigationBar();
}

void DialogMenuController::applyColors()
{
    paintBackground(m_tableView, backgroundColor());
    paintBackground(m_tableView->viewport(), backgroundColor());
}

void DialogMenuController::didSelectRow(int row)
{
    if (m_closed || row < 0 || row >= m_items.size())
        return;
    m_closed = true;
    const DialogMenuItem item = m_items.at(row);
    const Completion completion = m_completion;
    dismiss(true);
    if (completion)
        completion();
    if (const DialogMenuItem::Action action = item.action())
        action(item.tag());
}

void DialogMenuController::done()
{
    if (m_closed)
        return;
    m_closed = true;
    const Completion completion = m_completion;
    dismiss(true);
    if (completion)
        completion();
}

void DialogMenuController::presentationDidAttemptToDismiss()
{
    done();
}
