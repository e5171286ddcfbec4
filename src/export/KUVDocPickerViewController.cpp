#include "KUVDocPickerViewController.h"

#include "KUVDocFormatCollectionViewCell.h"
#include "core/HexColor.h"
#include "core/NavigationHelpers.h"
#include "platform/BarButtonItem.h"
#include "platform/ColorScheme.h"
#include "platform/Dispatch.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/SymbolIcons.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int SubtitleSpacing = 12;
constexpr int HeaderLabelX = 20;
constexpr int HeaderLabelWidth = 320;
constexpr int HeaderFontSize = 12;

} // namespace

KUVDocPickerViewController::KUVDocPickerViewController(QWidget* parent) : ViewController(parent)
{
}

QSize KUVDocPickerViewController::tileSize(int gridWidth)
{
    const int width = (gridWidth - (SectionInset + TileSpacing * (2 - 1) + SectionInset)) / 2;
    return QSize(width, width * 4 / 3);
}

void KUVDocPickerViewController::viewDidLoad()
{
    auto* cancelItem = new BarButtonItem(SymbolIcons::icon(CancelSymbol), this);
    cancelItem->setObjectName(QStringLiteral("cancel"));
    connect(cancelItem, &QAction::triggered, this, &KUVDocPickerViewController::cancel);
    navigationItem()->setRightBarButtonItem(cancelItem);
    setTitle(formTitle);
    if (auto* navigation = navigationController())
        NavigationHelpers::setupCustomNavbar(navigation->navigationBar());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Subtitle and segments each appear only when given; the grid then starts right under what is there.
    if (!segments.isEmpty()) {
        layout->addSpacing(SubtitleSpacing);
        buildSegments(layout);
    }
    if (!formSubTitle.isEmpty()) {
        m_subtitle = new QLabel(formSubTitle, this);
        m_subtitle->setObjectName(QStringLiteral("viewSubTitle"));
        m_subtitle->setAlignment(Qt::AlignCenter);
        m_subtitle->setWordWrap(true);
        layout->addSpacing(SubtitleSpacing);
        layout->addWidget(m_subtitle);
        layout->addSpacing(SubtitleSpacing);
    }
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("collectionView"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid = new QWidget;
    m_grid->installEventFilter(this);
    m_scroll->setWidget(m_grid);
    layout->addWidget(m_scroll, 1);
    buildGrid();
    applyColors();
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this] { applyColors(); });
}

void KUVDocPickerViewController::buildSegments(QVBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addStretch();
    m_segmentGroup = new QButtonGroup(this);
    m_segmentGroup->setExclusive(true);
    for (int i = 0; i < segments.size(); ++i) {
        auto* button = new QPushButton(segments.at(i), this);
        button->setObjectName(QStringLiteral("segment%1").arg(i));
        button->setCheckable(true);
        button->setChecked(i == selectedSegment);
        m_segmentGroup->addButton(button, i);
        row->addWidget(button);
    }
    row->addStretch();
    layout->addLayout(row);
    connect(m_segmentGroup, &QButtonGroup::idClicked, this, [this](int id) { selectedSegment = id; });
}

void KUVDocPickerViewController::buildGrid()
{
    const bool sectioned = formats.size() >= 2;
    for (int section = 0; section < formats.size(); ++section) {
        const QList<KUVDocFormat>& tiles = formats.at(section);
        if (sectioned) {
            const QString label = tiles.isEmpty() ? QString() : tiles.first().cardTypeLabel.toUpper();
            auto* header = new QLabel(label, m_grid);
            QFont font = header->font();
            font.setPointSize(HeaderFontSize);
            header->setFont(font);
            m_headers << header;
        }
        QList<QWidget*> cells;
        for (int row = 0; row < tiles.size(); ++row) {
            auto* cell = new KUVDocFormatCollectionViewCell(tiles.at(row), m_grid);
            connect(cell, &QAbstractButton::clicked, this, [this, section, row] { choose(section, row); });
            cells << cell;
        }
        m_cells << cells;
    }
}

void KUVDocPickerViewController::layoutGrid()
{
    const QSize tile = tileSize(m_grid->width());
    int y = formats.size() >= 2 ? TopInsetWithSections : 0;
    for (int section = 0; section < m_cells.size(); ++section) {
        if (section < m_headers.size()) {
            m_headers.at(section)->setGeometry(HeaderLabelX, y, HeaderLabelWidth, HeaderHeight);
            y += HeaderHeight;
        }
        y += SectionInset;
        const QList<QWidget*>& cells = m_cells.at(section);
        for (int i = 0; i < cells.size(); ++i) {
            const int column = i % 2;
            const int line = i / 2;
            cells.at(i)->setGeometry(SectionInset + column * (tile.width() + TileSpacing),
                                     y + line * (tile.height() + TileSpacing), tile.width(), tile.height());
        }
        const int lines = int(cells.size() + 1) / 2;
        y += lines * tile.height() + qMax(0, lines - 1) * TileSpacing + SectionInset;
    }
    m_grid->setMinimumHeight(y);
}

bool KUVDocPickerViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::Resize)
        layoutGrid();
    return ViewController::eventFilter(watched, event);
}

void KUVDocPickerViewController::applyColors()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window,
                     HexColor::colorWithHexString(ColorScheme::isDark() ? DarkBackground : LightBackground));
    setPalette(palette);
    setAutoFillBackground(true);
    m_grid->setPalette(palette);
    m_grid->setAutoFillBackground(true);
    m_scroll->viewport()->setPalette(palette);
}

void KUVDocPickerViewController::cancel()
{
    dismiss(true);
}

void KUVDocPickerViewController::choose(int section, int row)
{
    if (section < 0 || section >= formats.size() || row < 0 || row >= formats.at(section).size())
        return;
    const Selection chosen = selection;
    const qint64 segment = selectedSegment;
    dismiss(true);
    if (chosen)
        Dispatch::main([chosen, section, row, segment] { chosen(section, row, segment); });
}
