#pragma once

#include <QWidget>

class QLabel;

// One card's row in the peek panel: the card type's image, the title and the summary. The panel fills the
// three views for each row; the cell has no behaviour of its own. A title too long for its line ends in "…".
class PeekCellView : public QWidget {
    Q_OBJECT

public:
    static inline const QString ReuseIdentifier = QStringLiteral("peekCell");
    static constexpr int ImageSize = 24;
    static constexpr int Margin = 8;
    static constexpr int SummaryLines = 2;

    explicit PeekCellView(QWidget* parent = nullptr);

    QLabel* cardTypeView() const { return m_cardTypeView; }
    QLabel* cardTitleView() const { return m_cardTitleView; }
    QLabel* cardSummaryView() const { return m_cardSummaryView; }
    // Room for the title on one line and the summary on two, in the fonts the cell was given.
    int cellHeight() const;

private:
    QLabel* m_cardTypeView;
    QLabel* m_cardTitleView;
    QLabel* m_cardSummaryView;
};
