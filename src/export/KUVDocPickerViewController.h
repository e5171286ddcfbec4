#pragma once

#include "KUVDocFormat.h"
#include "platform/ViewController.h"

#include <QList>
#include <QStringList>
#include <functional>

class QButtonGroup;
class QLabel;
class QScrollArea;
class QVBoxLayout;

// The one chooser of document types and card types: tiles two to a row, optionally in titled sections and
// under a segmented control. Choosing a tile dismisses the picker and then reports the tile (section, row and
// the segment selected at that moment); cancelling reports nothing.
class KUVDocPickerViewController : public ViewController {
    Q_OBJECT

public:
    using Selection = std::function<void(int section, int row, qint64 selectedSegment)>;

    static constexpr int SectionInset = 20;
    static constexpr int TileSpacing = 20;
    static constexpr int HeaderHeight = 32;
    static constexpr int TopInsetWithSections = 20;
    static inline const QString DarkBackground = QStringLiteral("#414141");
    static inline const QString LightBackground = QStringLiteral("#ECECEC");
    static inline const QString CancelSymbol = QStringLiteral("xmark");

    explicit KUVDocPickerViewController(QWidget* parent = nullptr);

    QString formTitle;
    QString formSubTitle;
    QList<QList<KUVDocFormat>> formats;
    QStringList segments;
    qint64 selectedSegment = 0;
    Selection selection;

    // Tile size for a grid width: two per row between the insets, height four thirds of the width.
    static QSize tileSize(int gridWidth);
    void cancel();
    // As choosing the tile; out of range does nothing.
    void choose(int section, int row);

protected:
    void viewDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSegments(QVBoxLayout* layout);
    void buildGrid();
    void layoutGrid();
    void applyColors();

    QLabel* m_subtitle = nullptr;
    QButtonGroup* m_segmentGroup = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_grid = nullptr;
    QList<QLabel*> m_headers;
    QList<QList<QWidget*>> m_cells;
};
