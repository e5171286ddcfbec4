#pragma once

#include "RequiredTools.h"

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

// Runs programs no one here wrote on the files our writers produce. A program that hangs is killed after its
// time and counts as a failure, never as a pass.
namespace ExternalTools {

struct Run {
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline QString find(const QString& program)
{
    return QStandardPaths::findExecutable(program);
}

inline Run run(const QString& program, const QStringList& arguments, int timeoutMs = 240000,
               const QString& workingDirectory = QString())
{
    Run result;
    QProcess process;
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(find(program), arguments);
    // A busy machine can be slow to start a program; that is not a reason to fail it.
    if (!process.waitForStarted(RequiredTools::StartMs))
        return result;
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// soffice converting files into outDir to format ("txt:Text", "odt"), with a profile of its own so that
// parallel tests never share one.
inline Run sofficeConvert(const QStringList& files, const QString& format, const QString& outDir)
{
    QTemporaryDir profile(QDir::tempPath() + QStringLiteral("/plotvane-lo-XXXXXX"));
    QStringList arguments = {QStringLiteral("-env:UserInstallation=file://") + profile.path(),
                             QStringLiteral("--headless"),
                             QStringLiteral("--norestore"),
                             QStringLiteral("--convert-to"),
                             format,
                             QStringLiteral("--outdir"),
                             outDir};
    arguments += files;
    return run(QStringLiteral("soffice"), arguments, 180000);
}

// The words of a text joined by single blanks, for comparing what a reader extracted with what was written.
inline std::string words(const QString& text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)
        .join(QLatin1Char(' '))
        .toStdString();
}

} // namespace ExternalTools
