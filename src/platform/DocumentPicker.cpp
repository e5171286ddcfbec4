#include "DocumentPicker.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <memory>

namespace {

DocumentPicker::Chooser& chooser()
{
    static DocumentPicker::Chooser instance;
    return instance;
}

DocumentPicker::Opener& opener()
{
    static DocumentPicker::Opener instance;
    return instance;
}

} // namespace

void DocumentPicker::exportDocument(QWidget* parent, const QString& suggestedName, Done done)
{
    if (chooser())
        chooser()(parent, suggestedName, std::move(done));
    else
        platformChooser(parent, suggestedName, std::move(done));
}

bool DocumentPicker::openDocument(const QString& path)
{
    return opener() ? opener()(path) : platformOpener(path);
}

void DocumentPicker::setChooser(Chooser chooser_)
{
    chooser() = std::move(chooser_);
}

void DocumentPicker::setOpener(Opener opener_)
{
    opener() = std::move(opener_);
}

void DocumentPicker::platformChooser(QWidget* parent, const QString& suggestedName, Done done)
{
    // The writer's Documents folder where there is one, else their home: never wherever the program started.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    auto* dialog = new QFileDialog(parent ? parent->window() : nullptr, ExportTitle);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDirectory(folder);
    dialog->selectFile(suggestedName);
    const QString suffix = QFileInfo(suggestedName).suffix();
    if (!suffix.isEmpty())
        dialog->setDefaultSuffix(suffix);
    // finished comes once for every way the panel closes, so done runs exactly once.
    auto callback = std::make_shared<Done>(std::move(done));
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, callback](int result) {
        const QStringList files = dialog->selectedFiles();
        if (result == QDialog::Accepted && !files.isEmpty())
            (*callback)(files.first());
        else
            (*callback)(std::nullopt);
    });
    dialog->open();
}

bool DocumentPicker::platformOpener(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
