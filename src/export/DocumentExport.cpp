#include "DocumentExport.h"

#include "AttributedStringExport.h"
#include "ExportStaging.h"
#include "FilePaths.h"
#include "KUVDocPickerViewController.h"
#include "core/Helpers.h"
#include "platform/Alert.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/DocumentPicker.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "richtext/CheckboxAttachment.h"
#include "richtext/PvTextView.h"
#include "richtext/TextRuns.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextDocument>

namespace {

void removePrivateFolder(const QString& folder)
{
    if (!QDir(folder).removeRecursively())
        qWarning().noquote() << DocumentExport::DeleteErrorFormat.arg(folder);
}

} // namespace

QList<DocumentExport::Row> DocumentExport::rows()
{
    return {
        {QStringLiteral("Word"), QString(), QStringLiteral("docx"), AttributedStringExport::DOCX},
        {QStringLiteral("RTF"), QString(), QStringLiteral("rtf"), AttributedStringExport::RTF},
        {QStringLiteral("Apple RTF"), QString(), QStringLiteral("rtfd"), AttributedStringExport::RTFD},
        {QStringLiteral("Plain Text"), QStringLiteral("Images are not included"), QStringLiteral("txt"),
         AttributedStringExport::Text},
    };
}

DocumentExport::Row DocumentExport::row(int index)
{
    const QList<Row> all = rows();
    return index >= 0 && index < all.size() ? all.at(index) : all.last();
}

QList<QList<KUVDocFormat>> DocumentExport::formats()
{
    QList<KUVDocFormat> tiles;
    for (const Row& row : rows()) {
        KUVDocFormat format;
        format.formatTitle = row.title;
        format.formatDescription = row.description;
        tiles << format;
    }
    return {tiles};
}

void DocumentExport::presentPicker(ViewController* presenter, Purpose purpose, std::function<void(int)> chosen)
{
    auto* picker = new KUVDocPickerViewController;
    const bool exporting = purpose == Purpose::Export;
    picker->setFormTitle(exporting ? ExportFormTitle : OpenInFormTitle);
    picker->setFormSubTitle(exporting ? ExportFormSubTitle : OpenInFormSubTitle);
    picker->setFormats(formats());
    picker->setSelection([chosen = std::move(chosen)](int, int row, int) {
        if (chosen)
            chosen(row);
    });
    picker->presentFrom(presenter);
}

std::unique_ptr<QTextDocument> DocumentExport::preparedText(PvTextView& view)
{
    const double zoom = view.fontSize();
    std::unique_ptr<QTextDocument> text = view.scaleContent(*view.document(), zoom, true);
    TextRuns::removeBackground(*text);
    TextRuns::setForeground(*text, QColor(Qt::black));
    paperCheckboxes(*text);
    return text;
}

void DocumentExport::paperCheckboxes(QTextDocument& text)
{
    // A box drawn for the dark page is light grey, which would all but vanish on the file's white paper.
    TextRuns::apply(text, [](QTextCharFormat& format) {
        const std::unique_ptr<CheckboxAttachment> box = CheckboxAttachment::fromFormat(format, false);
        if (!box || format.stringProperty(CheckboxAttachment::ImageNameProperty) == box->imageName())
            return false;
        format.setProperty(CheckboxAttachment::ImageNameProperty, box->imageName());
        return true;
    });
}

void DocumentExport::showError(QWidget* parent)
{
    auto* alert = new Alert(ErrorTitle, ErrorMessage);
    alert->addAction(ErrorButton);
    alert->present(parent);
}

void DocumentExport::exportText(const QTextDocument& text, const QString& title, int index, QWidget* parent,
                                std::function<void(const std::optional<QString>&)> done)
{
    const Row chosen = row(index);
    const QString fileName = Helpers::sanitizeFileNameString(title) + QLatin1Char('.') + chosen.extension;
    exportFile(
        fileName,
        [&text, &chosen](const QString& path) {
            return AttributedStringExport::exportDataToFile(text, path, chosen.exportType);
        },
        parent, std::move(done));
}

void DocumentExport::exportFile(const QString& fileName, const std::function<bool(const QString&)>& write,
                                QWidget* parent, std::function<void(const std::optional<QString>&)> done)
{
    const QString folder = ExportStaging::privateExportFolder();
    const QString exportPath = FilePaths::child(folder, fileName);
    if (folder.isEmpty() || !write(exportPath)) {
        if (!folder.isEmpty())
            removePrivateFolder(folder);
        showError(parent);
        if (done)
            done(std::nullopt);
        return;
    }
    // The panel may answer after the screen that asked is gone; its error then stands on its own.
    QPointer<QWidget> owner(parent);
    DocumentPicker::exportDocument(parent, fileName,
                                   [folder, exportPath, owner, done](const std::optional<QString>& to) {
                                       std::optional<QString> destination = to;
                                       if (destination && !ExportStaging::copyInto(exportPath, *destination)) {
                                           showError(owner);
                                           destination.reset();
                                       }
                                       removePrivateFolder(folder);
                                       if (done)
                                           done(destination);
                                   });
}

std::optional<QString> DocumentExport::openInApplication(const QTextDocument& text, const QString& title, int index,
                                                         QWidget* parent)
{
    const Row chosen = row(index);
    const std::optional<QString> downloads = ExportStaging::downloadsFolder();
    const QString folder = ExportStaging::privateExportFolder();
    const QString fileName = Helpers::sanitizeFileNameString(title);
    const QString staged = FilePaths::child(folder, fileName + QLatin1Char('.') + chosen.extension);
    std::optional<QString> placed;
    // Written privately first, then given the first free name in Downloads: a file already there with that name
    // is the writer's own and is never replaced.
    if (downloads && !folder.isEmpty() && AttributedStringExport::exportDataToFile(text, staged, chosen.exportType))
        placed = ExportStaging::placeUnderFreeName(staged, *downloads, fileName, chosen.extension);
    if (!folder.isEmpty())
        removePrivateFolder(folder);
    if (!placed) {
        showError(parent);
        return std::nullopt;
    }
    DocumentPicker::openDocument(*placed);
    return placed;
}

void DocumentExport::writeFromView(ViewController* presenter, PvTextView* view, const QString& title, Purpose purpose,
                                   int row, std::function<void(const std::optional<QString>&)> done)
{
    ProgressHud::show();
    QPointer<ViewController> screen(presenter);
    QPointer<PvTextView> source(view);
    Dispatch::after(Delays::scaled(WorkDelayMs), [screen, source, title, purpose, row, done] {
        if (!screen || !source) {
            ProgressHud::dismiss();
            return;
        }
        const std::unique_ptr<QTextDocument> text = preparedText(*source);
        ProgressHud::dismiss();
        if (purpose == Purpose::Export) {
            exportText(*text, title, row, screen, done);
            return;
        }
        const std::optional<QString> written = openInApplication(*text, title, row, screen);
        if (done)
            done(written);
    });
}

void DocumentExport::chooseAndWrite(ViewController* presenter, PvTextView* view, const QString& title, Purpose purpose,
                                    std::function<void(const std::optional<QString>&)> done)
{
    QPointer<ViewController> screen(presenter);
    QPointer<PvTextView> source(view);
    presentPicker(presenter, purpose, [screen, source, title, purpose, done](int row) {
        if (screen && source)
            writeFromView(screen, source, title, purpose, row, done);
    });
}
