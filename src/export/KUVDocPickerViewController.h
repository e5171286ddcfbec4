#pragma once

#include "KUVDocFormat.h"
#include "KUVDocFormatCell.h"
#include "platform/ViewController.h"

#include <QList>
#include <QSize>
#include <QStringList>
#include <functional>

class QLabel;
class QListView;
class QStandardItemModel;
class QTabBar;

// A small modal chooser of labelled tiles, in titled sections and with an optional segmented control above
// them. The presenter fills it before it is shown, wraps it with present(), and hears of the chosen tile
// through the selection callback, which runs on the main queue after the picker has started to close.
class KUVDocPickerViewController : public ViewController {
    Q_OBJECT

public:
    // Section, row and the segment selected at the moment of the choice.
    using Selection = std::function<void(int section, int row, int selectedSegment)>;

    static constexpr QSize PreferredContentSize{350, 450};
    static constexpr int Inset = 20;
    static constexpr int TilesPerRow = 2;
    static constexpr int SectionHeaderHeight = KUVDocFormatCell::HeaderHeight;
    // Above the first section header when the grid has two or more sections.
    static constexpr int TopContentInset = 20;
    static inline const QString DarkBackground = QStringLiteral("#414141");
    static inline const QString LightBackground = QStringLiteral("#ECECEC");
    static inline const QString CancelSymbol = QStringLiteral("xmark");

    explicit KUVDocPickerViewController(QWidget* parent = nullptr);

    // Wraps the picker in a navigation controller and shows it as a form sheet over presenter.
    void presentFrom(ViewController* presenter);

    QString formTitle() const { return m_formTitle; }
    void setFormTitle(const QString& title) { m_formTitle = title; }
    QString formSubTitle() const { return m_formSubTitle; }
    void setFormSubTitle(const QString& subTitle) { m_formSubTitle = subTitle; }
    const QList<QList<KUVDocFormat>>& formats() const { return m_formats; }
    void setFormats(const QList<QList<KUVDocFormat>>& formats) { m_formats = formats; }
    QStringList segments() const { return m_segments; }
    void setSegments(const QStringList& segments) { m_segments = segments; }
    int selectedSegment() const { return m_selectedSegment; }
    void setSelectedSegment(int segment) { m_selectedSegment = segment; }
    void setSelection(Selection selection) { m_selection = std::move(selection); }

    // Tiles in a section; 0 for a section out of range.
    int numberOfItemsInSection(int section) const;
    // Two tiles a row across gridWidth, three high for four wide, in whole points.
    static QSize tileSize(int gridWidth);
    // Chooses the tile as a click on it does.
    void choose(int section, int row);
    // Closes without a choice, as the cancel button does.
    void cancel();

    QListView* collectionView() const { return m_collectionView; }
    QTabBar* segmentView() const { return m_segmentView; }
    QLabel* viewSubTitle() const { return m_viewSubTitle; }

protected:
    void viewDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildViews();
    void fillGrid();
    void applyColors();
    void updateTileSize();

    QString m_formTitle;
    QString m_formSubTitle;
    QList<QList<KUVDocFormat>> m_formats;
    QStringList m_segments;
    int m_selectedSegment = 0;
    Selection m_selection;
    bool m_chosen = false;

    QLabel* m_viewSubTitle = nullptr;
    QTabBar* m_segmentView = nullptr;
    QWidget* m_separatorView = nullptr;
    QListView* m_collectionView = nullptr;
    QStandardItemModel* m_model = nullptr;
    KUVDocFormatCell* m_cell = nullptr;
};
