#include "SEKDialogMenuController.h"

#include "dialogs/FloatingEntry.h"
#include "dialogs/SEKDialogHeaderView.h"
#include "dialogs/SEKDialogMenuCellView.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

SEKDialogMenuController::SEKDialogMenuController(const QString& title, const QList<DialogMenuItem>& items,
                                                 QWidget* parent)
    : DialogBaseController(parent), m_menuTitle(title), m_items(items)
{
    setObjectName(QStringLiteral("SEKDialogMenuController"));
    const SEKDialogHeaderView::Top top = SEKDialogHeaderView::installOn(this, dialogHeaderColor(), true);
    QVBoxLayout* layout = top.layout;
    m_headerView = top.header;
    m_titleView = top.header->titleView();
    m_closeButtonView = top.header->closeButtonView();
    m_separatorView = top.separator;
    m_tableView = new QListWidget(this);
    m_tableView->setObjectName(QStringLiteral("tableView"));
    m_tableView->setFrameShape(QFrame::NoFrame);
    m_tableView->setSelectionMode(QAbstractItemView::NoSelection);
    m_tableView->setUniformItemSizes(true);
    layout->addWidget(m_tableView, 1);
    connect(m_tableView, &QListWidget::clicked, this, [this](const QModelIndex& index) { didSelectRow(index.row()); });
    connect(m_tableView, &QListWidget::activated, this,
            [this](const QModelIndex& index) { didSelectRow(index.row()); });
    connect(m_closeButtonView, &QPushButton::clicked, this, &SEKDialogMenuController::close);

    loadViewIfNeeded();
    roundCorners();
}

void SEKDialogMenuController::viewDidLoad()
{
    DialogBaseController::viewDidLoad();
    m_titleView->setText(m_menuTitle);
    fillRows();
    applyColors();
    colorsApplied();
}

void SEKDialogMenuController::fillRows()
{
    for (const DialogMenuItem& item : std::as_const(m_items)) {
        auto* row = new QListWidgetItem(m_tableView);
        row->setSizeHint(QSize(0, RowHeight));
        auto* cell = new SEKDialogMenuCellView;
        cell->itemLabelView()->setText(item.label());
        const QSize icon = cell->itemImageView()->size();
        cell->itemImageView()->setPixmap(item.image().isNull() ? QPixmap() : item.image().pixmap(icon));
        m_tableView->setItemWidget(row, cell);
    }
}

void SEKDialogMenuController::applyColors()
{
    paintBackground(m_tableView, backgroundColor());
    paintBackground(m_tableView->viewport(), backgroundColor());
    paintBackground(m_separatorView, separatorColor());
}

void SEKDialogMenuController::didSelectRow(int row)
{
    if (m_closed || row < 0 || row >= m_items.size())
        return;
    m_closed = true;
    const DialogMenuItem item = m_items.at(row);
    FloatingEntry::dismiss(this);
    if (const DialogMenuItem::Action action = item.action())
        action(item.tag());
}

void SEKDialogMenuController::close()
{
    if (m_closed)
        return;
    m_closed = true;
    FloatingEntry::dismiss(this);
}
