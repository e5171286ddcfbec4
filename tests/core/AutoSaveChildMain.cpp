// A second process for the snapshot tests: an editor that snapshots its words and is then killed before it
// ever saves, as a crash would end it.
//   autosave_child PROJECT_ID once WORDS     one change; prints "written" once its snapshot is on disk
//   autosave_child PROJECT_ID stream WORDS   a change before every tick; prints "gathered N" for each snapshot
// Either way it keeps running until the test kills it.
#include "core/AutoSaveController.h"
#include "platform/SerialQueue.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

namespace {

constexpr double Interval = 0.01;

QVariantMap snapshotOf(const QString& projectId, const QString& words)
{
    return {{AutoSaveController::kProjectIdKey, projectId},
            {AutoSaveController::kProjectItemIdKey, QString()},
            {AutoSaveController::kTitleKey, words},
            {AutoSaveController::kContentKey, words.toUtf8()},
            {AutoSaveController::kItemSaveDateKey, QDateTime::currentDateTimeUtc()}};
}

void say(const QByteArray& line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    // The same private folders as the test process that starts this one (it hands down HOME).
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("PlotvaneTests"));
    QCoreApplication::setApplicationName(QStringLiteral("PlotvaneTests"));
    if (argc < 4)
        return 2;
    const QString projectId = QString::fromLocal8Bit(argv[1]);
    const bool stream = QByteArray(argv[2]) == "stream";
    const QString words = QString::fromUtf8(argv[3]);

    AutoSaveController controller;
    controller.setSaveInterval(Interval);
    int gathered = 0;
    controller.startSaveTimer(projectId, false, [&] {
        ++gathered;
        const QString text = stream ? words + QStringLiteral(" #%1").arg(gathered) : words;
        if (stream) {
            // The next tick has something new to write, as while the writer keeps typing.
            QTimer::singleShot(0, &app, [&controller] { controller.setAutoSave(true); });
            say("gathered " + QByteArray::number(gathered));
        }
        return snapshotOf(projectId, text);
    });
    controller.setAutoSave(true);

    if (!stream) {
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (gathered == 0 || !AutoSaveController::snapshotQueue().waitForDone(0))
                return;
            poll.stop();
            say(AutoSaveController::autoSaveExists(projectId, false) ? "written" : "missing");
        });
        poll.start(5);
        return app.exec();
    }
    return app.exec();
}
