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

DocumentPicker::PickChooser& pickChooser()
{
    static DocumentPicker::PickChooser instance;
    return instance;
}

// Runs done once with the panel's first chosen file, or nullopt however else it closes.
void connectFinished(QFileDialog* dialog, DocumentPicker::Done done)
{
    auto callback = std::make_shared<DocumentPicker::Done>(std::move(done));
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, callback](int result) {
        const QStringList files = dialog->selectedFiles();
        if (result == QDialog::Accepted && !files.isEmpty())
            (*callback)(files.first());
        else
            (*callback)(std::nullopt);
    });
}

} // namespace

void DocumentPicker::pickDocument(QWidget* parent, const QString& title, const QStringList& nameFilters, Done done)
{
    if (pickChooser())
        pickChooser()(parent, title, nameFilters, std::move(done));
    else
        platformPicker(parent, title, nameFilters, std::move(done));
}

void DocumentPicker::setPickChooser(PickChooser chooser_)
{
    pickChooser() = std::move(chooser_);
}

void DocumentPicker::platformPicker(QWidget* parent, const QString& title, const QStringList& nameFilters, Done done)
{
    auto* dialog = new QFileDialog(parent ? parent->window() : nullptr, title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setDirectory(startFolder());
    dialog->setNameFilters(nameFilters);
    connectFinished(dialog, std::move(done));
    dialog->open();
}

QString DocumentPicker::startFolder()
{
    // The writer's Documents folder where there is one, else their home: never wherever the program started.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return folder;
}

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
    auto* dialog = new QFileDialog(parent ? parent->window() : nullptr, ExportTitle);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDirectory(startFolder());
    dialog->selectFile(suggestedName);
    const QString suffix = QFileInfo(suggestedName).suffix();
    if (!suffix.isEmpty())
        dialog->setDefaultSuffix(suffix);
    // finished comes once for every way the panel closes, so done runs exactly once.
    connectFinished(dialog, std::move(done));
    dialog->open();
}

bool DocumentPicker::platformOpener(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
