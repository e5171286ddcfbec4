#pragma once

#include <QWidget>

class EmptyStateButton;
class QLabel;

// What an empty project list shows behind its grid: the default cover picture and, below it, the button that
// starts a new project. Sized from the view it covers: the picture is two thirds of the shorter side.
class EmptyStateView : public QWidget {
    Q_OBJECT

public:
    static constexpr int ImageRaise = 96;
    static constexpr int ButtonGap = 24;
    static constexpr int ButtonHeight = 128;

    explicit EmptyStateView(QWidget* parent = nullptr);

    QLabel* imageView() const { return m_image; }
    EmptyStateButton* button() const { return m_button; }
    // Places the picture and the button for a view of this size.
    void layoutFor(const QSize& size);

signals:
    void newProjectRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_image;
    EmptyStateButton* m_button;
};
