#include "KUVDocPickerViewController.h"

#include "core/NavigationHelpers.h"
#include "platform/BarButtonItem.h"
#include "platform/ColorScheme.h"
#include "platform/Dispatch.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/SymbolIcons.h"

#include <QEvent>
#include <QLabel>
#include <QListView>
#include <QStandardItemModel>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

constexpr int SectionRole = Qt::UserRole + 10;
constexpr int RowRole = Qt::UserRole + 11;
constexpr int Gap = 12;

} // namespace

KUVDocPickerViewController::KUVDocPickerViewController(QWidget* parent) : ViewController(parent)
{
    setObjectName(QStringLiteral("KUVDocPicker"));
    setPreferredContentSize(PreferredContentSize);
    buildViews();
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this](bool) {
        m_cell->setAppearanceChanged(true);
        applyColors();
    });
}

void KUVDocPickerViewController::buildViews()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, Gap, 0, 0);
    layout->setSpacing(Gap);
    m_viewSubTitle = new QLabel(this);
    m_viewSubTitle->setObjectName(QStringLiteral("viewSubTitle"));
    m_viewSubTitle->setAlignment(Qt::AlignCenter);
    m_viewSubTitle->setWordWrap(true);
    m_segmentView = new QTabBar(this);
    m_segmentView->setObjectName(QStringLiteral("segmentView"));
    m_segmentView->setExpanding(false);
    m_segmentView->setDrawBase(false);
    m_separatorView = new QWidget(this);
    m_separatorView->setObjectName(QStringLiteral("separatorView"));
    m_separatorView->setFixedHeight(1);
    m_separatorView->setAutoFillBackground(true);

    m_model = new QStandardItemModel(this);
    m_cell = new KUVDocFormatCell(this);
    m_collectionView = new QListView(this);
    m_collectionView->setObjectName(QStringLiteral("collectionView"));
    m_collectionView->setViewMode(QListView::IconMode);
    m_collectionView->setFlow(QListView::LeftToRight);
    m_collectionView->setWrapping(true);
    m_collectionView->setResizeMode(QListView::Adjust);
    m_collectionView->setMovement(QListView::Static);
    // Half the gap around every tile makes the full gap between tiles; the margins make up the outer inset.
    m_collectionView->setSpacing(Inset / 2);
    m_collectionView->setFrameShape(QFrame::NoFrame);
    m_collectionView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_collectionView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_collectionView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_collectionView->setMouseTracking(true);
    m_collectionView->setItemDelegate(m_cell);
    m_collectionView->setModel(m_model);
    m_collectionView->viewport()->installEventFilter(this);
    connect(m_collectionView, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (!index.data(KUVDocFormatCell::HeaderRole).toBool())
            choose(index.data(SectionRole).toInt(), index.data(RowRole).toInt());
    });
    layout->addWidget(m_viewSubTitle);
    layout->addWidget(m_segmentView, 0, Qt::AlignHCenter);
    layout->addWidget(m_separatorView);
    auto* grid = new QVBoxLayout;
    grid->setContentsMargins(Inset / 2, Inset / 2, Inset / 2, Inset / 2);
    grid->addWidget(m_collectionView);
    layout->addLayout(grid, 1);
}

void KUVDocPickerViewController::viewDidLoad()
{
    auto* cancelButton = new BarButtonItem(SymbolIcons::icon(CancelSymbol), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(cancelButton, &QAction::triggered, this, &KUVDocPickerViewController::cancel);
    navigationItem()->setRightBarButtonItem(cancelButton);
    setTitle(m_formTitle);
    m_viewSubTitle->setText(m_formSubTitle);

    const bool hasSubTitle = !m_formSubTitle.isEmpty();
    const bool hasSegments = !m_segments.isEmpty();
    m_viewSubTitle->setVisible(hasSubTitle);
    m_segmentView->setVisible(hasSegments);
    m_separatorView->setVisible(hasSubTitle || hasSegments);
    // With nothing above it the grid starts at the very top.
    if (!hasSubTitle && !hasSegments)
        layout()->setContentsMargins(0, 0, 0, 0);
    if (hasSegments) {
        for (const QString& segment : std::as_const(m_segments))
            m_segmentView->addTab(segment);
        m_segmentView->setCurrentIndex(std::clamp(m_selectedSegment, 0, int(m_segments.size()) - 1));
        connect(m_segmentView, &QTabBar::currentChanged, this, [this](int index) { m_selectedSegment = index; });
        // The tabs came after the first size hint; the layout asks again.
        m_segmentView->updateGeometry();
    }
    fillGrid();
    applyColors();
}

void KUVDocPickerViewController::fillGrid()
{
    m_model->clear();
    const bool headers = m_formats.size() >= 2;
    for (int section = 0; section < m_formats.size(); ++section) {
        const QList<KUVDocFormat>& tiles = m_formats.at(section);
        if (headers && !tiles.isEmpty()) {
            auto* header = new QStandardItem(tiles.first().cardTypeLabel.toUpper());
            header->setData(true, KUVDocFormatCell::HeaderRole);
            header->setFlags(Qt::ItemIsEnabled);
            m_model->appendRow(header);
        }
        for (int row = 0; row < tiles.size(); ++row) {
            const KUVDocFormat& format = tiles.at(row);
            auto* tile = new QStandardItem(format.formatTitle);
            tile->setData(format.formatDescription, KUVDocFormatCell::DescriptionRole);
            tile->setData(QVariant::fromValue(format.formatImage), KUVDocFormatCell::ImageRole);
            tile->setData(section, SectionRole);
            tile->setData(row, RowRole);
            tile->setToolTip(format.formatTitle);
            m_model->appendRow(tile);
        }
    }
    updateTileSize();
}

int KUVDocPickerViewController::numberOfItemsInSection(int section) const
{
    return section >= 0 && section < m_formats.size() ? int(m_formats.at(section).size()) : 0;
}

QSize KUVDocPickerViewController::tileSize(int gridWidth)
{
    const int width = std::max(0, (gridWidth - (Inset + Inset * (TilesPerRow - 1) + Inset)) / TilesPerRow);
    return {width, width * 4 / 3};
}

void KUVDocPickerViewController::updateTileSize()
{
    // The viewport lies inside the outer inset already; the tile width is worked out for the whole grid.
    const int gridWidth = m_collectionView->viewport()->width() + Inset;
    const QSize tile = tileSize(gridWidth);
    m_cell->setTileSize(tile);
    // With sections the first row is a header; the grid's top inset goes above its title and scrolls with it.
    const int topInset = m_formats.size() >= 2 ? TopContentInset : 0;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        QStandardItem* item = m_model->item(row);
        const bool header = item->data(KUVDocFormatCell::HeaderRole).toBool();
        const int headerHeight = SectionHeaderHeight + (row == 0 ? topInset : 0);
        item->setSizeHint(header ? QSize(2 * tile.width() + Inset, headerHeight) : tile);
    }
    m_collectionView->doItemsLayout();
}

bool KUVDocPickerViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_collectionView->viewport() && event->type() == QEvent::Resize)
        updateTileSize();
    return ViewController::eventFilter(watched, event);
}

void KUVDocPickerViewController::applyColors()
{
    const bool dark = ColorScheme::isDark();
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(dark ? DarkBackground : LightBackground));
    palette.setColor(QPalette::Base, QColor(dark ? DarkBackground : LightBackground));
    setPalette(palette);
    setAutoFillBackground(true);
    m_collectionView->setPalette(palette);
    QPalette separator = m_separatorView->palette();
    separator.setColor(QPalette::Window, dark ? QColor(0x5a, 0x5a, 0x5e) : QColor(0xc8, 0xc8, 0xcc));
    m_separatorView->setPalette(separator);
    m_collectionView->viewport()->update();
}

void KUVDocPickerViewController::choose(int section, int row)
{
    // A second click while the sheet closes must not report a second choice.
    if (m_chosen || row < 0 || row >= numberOfItemsInSection(section))
        return;
    m_chosen = true;
    Selection selection = m_selection;
    const int segment = m_selectedSegment;
    dismiss(true);
    if (selection)
        Dispatch::main([selection, section, row, segment] { selection(section, row, segment); });
}

void KUVDocPickerViewController::cancel()
{
    m_chosen = true;
    dismiss(true);
}

void KUVDocPickerViewController::presentFrom(ViewController* presenter)
{
    if (!presenter)
        return;
    auto* navigation = new NavigationController(this);
    navigation->setPreferredContentSize(PreferredContentSize);
    // Styled before it is shown, so the sheet never appears with a plain bar.
    NavigationHelpers::setupCustomNavbar(navigation->navigationBar());
    presenter->present(navigation, true, {}, PresentationStyle::FormSheet);
}
