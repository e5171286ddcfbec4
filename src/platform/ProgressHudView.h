#pragma once

#include <QColor>
#include <QString>
#include <QTimer>
#include <QWidget>

// The drawn progress indicator: covers its window, optionally dims it and blocks input, and spins a rounded
// box in the middle with a status line below the spinner. Named "progressHud"; its status label reads status().
class ProgressHudView : public QWidget {
    Q_OBJECT

public:
    ProgressHudView(QWidget* window, bool blocksInput, bool dims, const QColor& background, const QColor& foreground);

    void setStatus(const QString& status);
    QString status() const { return m_status; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_status;
    bool m_dims;
    QColor m_background;
    QColor m_foreground;
    QTimer m_spin;
    int m_angle = 0;
};
