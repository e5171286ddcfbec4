#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QVBoxLayout;

// The coloured band on top of a floating dialog: the title in white, and a close button when asked for.
class SEKDialogHeaderView : public QWidget {
    Q_OBJECT

public:
    static constexpr int Height = 44;

    SEKDialogHeaderView(const QString& headerColorHex, bool withCloseButton, QWidget* parent = nullptr);

    // The top of every floating dialog: a new margin-less vertical layout on the dialog holding the header
    // and the one-pixel line under it. The dialog adds its own content below.
    struct Top {
        QVBoxLayout* layout;
        SEKDialogHeaderView* header;
        QWidget* separator;
    };
    static Top installOn(QWidget* dialog, const QString& headerColorHex, bool withCloseButton);

    QLabel* titleView() const { return m_titleView; }
    // nullptr without a close button.
    QPushButton* closeButtonView() const { return m_closeButtonView; }

private:
    QLabel* m_titleView;
    QPushButton* m_closeButtonView = nullptr;
};
