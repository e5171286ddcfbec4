#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The coloured band on top of a floating dialog: the title in white, and a close button when asked for.
class SEKDialogHeaderView : public QWidget {
    Q_OBJECT

public:
    static constexpr int Height = 44;

    SEKDialogHeaderView(const QString& headerColorHex, bool withCloseButton, QWidget* parent = nullptr);

    QLabel* titleView() const { return m_titleView; }
    // nullptr without a close button.
    QPushButton* closeButtonView() const { return m_closeButtonView; }

private:
    QLabel* m_titleView;
    QPushButton* m_closeButtonView = nullptr;
};
