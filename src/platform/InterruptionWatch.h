#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Tells when something takes a press in progress away from the widget that holds it: a menu or a modal window
// comes up (and grabs the pointer, so the release never reaches the widget), the writer presses Escape, or the
// widget's window stops being the active one. Watching looks at every event of the application, so it is
// switched on only for the life of a press or a drag.
class InterruptionWatch : public QObject {
    Q_OBJECT

public:
    explicit InterruptionWatch(QObject* parent = nullptr);

    // Starts watching on behalf of widget; a second start while watching only changes the widget.
    void start(QWidget* widget);
    void stop();
    bool isWatching() const { return m_watching; }

signals:
    void interrupted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool interrupts(QObject* watched, const QEvent* event) const;

    QPointer<QWidget> m_widget;
    bool m_watching = false;
};
