#include "ExportStaging.h"

#include "FilePaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace {

bool renameOver(const QString& from, const QString& to)
{
    // rename(2) replaces a file in one step; QFile::rename refuses an existing target.
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

QString ExportStaging::stagedPathBeside(const QString& target)
{
    const QFileInfo info(target);
    QTemporaryFile reserve(FilePaths::child(info.path(), QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    reserve.setAutoRemove(false);
    if (!reserve.open())
        return QString();
    return reserve.fileName();
}

bool ExportStaging::writeFile(const QString& target, const QByteArray& data)
{
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool ExportStaging::produceFile(const QString& target, const std::function<bool(const QString&)>& produce)
{
    const QString staged = stagedPathBeside(target);
    if (staged.isEmpty())
        return false;
    // A temporary file is private to its owner; the finished file reads like any other the writer saves.
    QFile::setPermissions(staged, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!produce(staged) || !renameOver(staged, target)) {
        QFile::remove(staged);
        return false;
    }
    return true;
}

bool ExportStaging::produceFolder(const QString& target, const std::function<bool(const QString&)>& fill)
{
    const QFileInfo info(target);
    QTemporaryDir staged(FilePaths::child(info.path(), QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    if (!staged.isValid() || !fill(staged.path()))
        return false;
    QString previous;
    if (info.exists()) {
        // The old folder steps aside first and goes only once the new one is in place.
        QTemporaryDir aside(FilePaths::child(info.path(), QStringLiteral(".%1.old.XXXXXX").arg(info.fileName())));
        if (!aside.isValid())
            return false;
        aside.setAutoRemove(false);
        previous = aside.path();
        QDir().rmdir(previous);
        if (!renameOver(target, previous))
            return false;
    }
    if (!renameOver(staged.path(), target)) {
        if (!previous.isEmpty())
            renameOver(previous, target);
        return false;
    }
    staged.setAutoRemove(false);
    QFile::setPermissions(target, QFile::permissions(info.path()));
    if (!previous.isEmpty())
        QDir(previous).removeRecursively();
    return true;
}

bool ExportStaging::copyFile(const QString& source, const QString& target)
{
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    constexpr qint64 Chunk = 1 << 16;
    while (!in.atEnd()) {
        const QByteArray bytes = in.read(Chunk);
        if (bytes.isEmpty() || out.write(bytes) != bytes.size())
            return false;
    }
    return out.flush();
}

bool ExportStaging::copyFolder(const QString& source, const QString& target)
{
    // Packages hold plain files and folders; links are not followed, so a loop cannot form.
    const QDir from(source);
    for (const QFileInfo& entry : from.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (entry.isSymLink())
            continue;
        const QString destination = FilePaths::child(target, entry.fileName());
        const bool copied = entry.isDir() ? QDir().mkdir(destination) && copyFolder(entry.filePath(), destination)
                                          : copyFile(entry.filePath(), destination);
        if (!copied)
            return false;
    }
    return true;
}

bool ExportStaging::copyInto(const QString& source, const QString& target)
{
    if (QFileInfo(source).isDir())
        return produceFolder(target, [&source](const QString& staged) { return copyFolder(source, staged); });
    return produceFile(target, [&source](const QString& staged) { return copyFile(source, staged); });
}

std::optional<QString> ExportStaging::placeUnderFreeName(const QString& source, const QString& folder,
                                                         const QString& baseName, const QString& extension)
{
    const bool isFolder = QFileInfo(source).isDir();
    const QString first = freeFileName(folder, baseName, extension);
    QString staged;
    if (isFolder) {
        QTemporaryDir dir(FilePaths::child(folder, QStringLiteral(".%1.XXXXXX").arg(QFileInfo(first).fileName())));
        if (!dir.isValid() || !copyFolder(source, dir.path()))
            return std::nullopt;
        dir.setAutoRemove(false);
        staged = dir.path();
        QFile::setPermissions(staged, QFile::permissions(folder));
    } else {
        staged = stagedPathBeside(first);
        QFile::setPermissions(staged, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        if (staged.isEmpty() || !copyFile(source, staged)) {
            QFile::remove(staged);
            return std::nullopt;
        }
    }
    // The name is free when looked at, yet another program may take it before the rename: the rename refuses
    // to replace anything, and the next free name is tried.
    QString candidate = first;
    for (int attempt = 0; attempt < MaxFreeNameAttempts; ++attempt) {
        if (renameat2(AT_FDCWD, QFile::encodeName(staged).constData(), AT_FDCWD,
                      QFile::encodeName(candidate).constData(), RENAME_NOREPLACE) == 0)
            return candidate;
        if (errno != EEXIST)
            break;
        const QString next = freeFileName(folder, baseName, extension);
        // The same name again means every name up to the limit is taken: trying it again would only fail again,
        // ten thousand times over.
        if (next == candidate)
            break;
        candidate = next;
    }
    if (isFolder)
        QDir(staged).removeRecursively();
    else
        QFile::remove(staged);
    return std::nullopt;
}

QString ExportStaging::freeFileName(const QString& folder, const QString& baseName, const QString& extension)
{
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    QString candidate = FilePaths::child(folder, baseName + suffix);
    // A link to nothing does not exist to QFileInfo, yet its name is taken: counted as free, every export
    // under that name would fail.
    const auto taken = [](const QString& path) { return QFileInfo::exists(path) || QFileInfo(path).isSymLink(); };
    for (int n = 2; taken(candidate) && n < MaxFreeNameAttempts; ++n)
        candidate = FilePaths::child(folder, QStringLiteral("%1 %2%3").arg(baseName).arg(n).arg(suffix));
    return candidate;
}

QString ExportStaging::privateExportFolder()
{
    const QString root =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("Exports"));
    if (!QDir().mkpath(root))
        return QString();
    QTemporaryDir folder(QDir(root).filePath(QStringLiteral("export-XXXXXX")));
    if (!folder.isValid())
        return QString();
    folder.setAutoRemove(false);
    return folder.path();
}

std::optional<QString> ExportStaging::downloadsFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return std::nullopt;
    return folder;
}
