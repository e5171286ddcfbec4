#pragma once

#include "platform/ViewController.h"

#include <QStringList>

// A screen that writes each hook it receives, as "name:hook", into a log shared by several screens.
class ScreenRecorder : public ViewController {
public:
    ScreenRecorder(const QString& name, QStringList* log) : m_name(name), m_log(log) { setTitle(name); }

protected:
    void viewDidLoad() override { note(QStringLiteral("load")); }
    void viewWillAppear(bool) override { note(QStringLiteral("willAppear")); }
    void viewDidAppear(bool) override { note(QStringLiteral("didAppear")); }
    void viewWillDisappear(bool) override { note(QStringLiteral("willDisappear")); }
    void viewDidDisappear(bool) override { note(QStringLiteral("didDisappear")); }

private:
    void note(const QString& hook) { m_log->append(m_name + QLatin1Char(':') + hook); }

    QString m_name;
    QStringList* m_log;
};
