#include "BoardImportExport.h"

#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/ProjectItem.h"
#include "export/CardImporter.h"
#include "export/Csv.h"
#include "export/ExportStaging.h"
#include "export/FilePaths.h"
#include "export/KUVDocPickerViewController.h"
#include "export/Opml.h"
#include "platform/Alert.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/DocumentPicker.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "platform/ViewController.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

KUVDocFormat format(const QString& title, const QString& description = QString())
{
    KUVDocFormat tile;
    tile.formatTitle = title;
    tile.formatDescription = description;
    return tile;
}

} // namespace

BoardImportExport::BoardImportExport(ViewController* board, ManagedObjectContext* context, std::function<Place()> place,
                                     Hooks hooks, QObject* parent)
    : QObject(parent), m_board(board), m_context(context), m_place(std::move(place)), m_hooks(std::move(hooks))
{
}

QList<KUVDocFormat> BoardImportExport::importFormats()
{
    return {format(OpmlRow, OpmlDescription), format(RtfRow), format(PlainTextRow)};
}

QList<KUVDocFormat> BoardImportExport::exportFormats()
{
    return {format(OpmlRow, OpmlDescription), format(CsvRow)};
}

QStringList BoardImportExport::nameFilters(int row)
{
    switch (row) {
    case ImportOpml:
        return {QStringLiteral("Outlines (*.opml *.txt *.text)")};
    case ImportRtf:
        return {QStringLiteral("Rich Text (*.rtf)")};
    case ImportPlainText:
        return {QStringLiteral("Plain Text (*.txt *.text)")};
    default:
        return {};
    }
}

void BoardImportExport::showImportChooser()
{
    presentChooser(ImportTitle, ImportSubtitle, importFormats(), [this](int row) { importRow(row); });
}

void BoardImportExport::showExportChooser()
{
    presentChooser(ExportTitle, ExportSubtitle, exportFormats(), [this](int row) { exportRow(row); });
}

void BoardImportExport::presentChooser(const QString& title, const QString& subtitle,
                                       const QList<KUVDocFormat>& formats, std::function<void(int)> chosen)
{
    if (!m_board)
        return;
    auto* picker = new KUVDocPickerViewController;
    picker->setFormTitle(title);
    picker->setFormSubTitle(subtitle);
    picker->setFormats({formats});
    QPointer<BoardImportExport> self(this);
    picker->setSelection([self, chosen = std::move(chosen)](int, int row, int) {
        if (self)
            chosen(row);
    });
    picker->presentFrom(m_board);
}

// --- Import

void BoardImportExport::importRow(int row)
{
    const QStringList filters = nameFilters(row);
    if (filters.isEmpty() || !m_board)
        return;
    QPointer<BoardImportExport> self(this);
    DocumentPicker::pickDocument(m_board, ImportTitle, filters, [self](const std::optional<QString>& path) {
        // The place is taken now: the writer chose this file for the folder the board shows at this moment.
        if (self && path && self->m_place)
            self->importFile(self->m_place(), *path);
    });
}

void BoardImportExport::importFile(const Place& place, const QString& path)
{
    const QString lower = path.toLower();
    const bool opml = lower.endsWith(QStringLiteral("opml"));
    const bool rtf = lower.endsWith(QStringLiteral("rtf"));
    if (!opml && !rtf && !lower.endsWith(QStringLiteral("txt")) && !lower.endsWith(QStringLiteral("text"))) {
        showError(UnsupportedFileMessage);
        emit importFinished(false);
        return;
    }
    ProgressHud::show();
    QPointer<BoardImportExport> self(this);
    Dispatch::after(Delays::scaled(WorkDelayMs), [self, place, path, opml, rtf] {
        if (!self || !self->m_context) {
            ProgressHud::dismiss();
            return;
        }
        if (opml)
            self->importOutline(place, path);
        else
            self->importCard(place, path, rtf);
    });
}

void BoardImportExport::importOutline(const Place& place, const QString& path)
{
    call(m_hooks.stopObservingStoreChanges);
    // The store's own count: a filtered board shows fewer children than the folder holds.
    const qint64 offset = qint64(DbHelpers::getFolderItemsCount(m_context, place.projectId, place.folderId));
    bool stored = false;
    Opml().putOpml(m_context, path, place.projectId, place.folderId, offset, [&stored](bool ok) { stored = ok; });
    ProgressHud::dismiss();
    if (!stored)
        showError(UnreadableOutlineMessage);
    call(m_hooks.reloadCards);
    call(m_hooks.refreshSidebar);
    call(m_hooks.startObservingStoreChanges);
    emit importFinished(stored);
}

void BoardImportExport::importCard(const Place& place, const QString& path, bool isRtf)
{
    call(m_hooks.stopObservingStoreChanges);
    QPointer<BoardImportExport> self(this);
    // The card importer turns a filter code that is no card type into a Story card.
    CardImporter::importCard(
        m_context, place.projectId, place.folderId, path, isRtf, place.itemFilter,
        [self](ProjectItem* card) {
            ProgressHud::dismiss();
            if (!self)
                return;
            if (card && self->m_hooks.reloadBoard)
                self->m_hooks.reloadBoard(true);
            Dispatch::main([self, added = card != nullptr] {
                if (!self)
                    return;
                call(self->m_hooks.startObservingStoreChanges);
                if (added)
                    call(self->m_hooks.refreshSidebar);
                emit self->importFinished(added);
            });
        },
        m_board);
}

// --- Export

void BoardImportExport::exportRow(int row)
{
    if ((row != ExportOpml && row != ExportCsv) || !m_place)
        return;
    const Place place = m_place();
    ProgressHud::show();
    QPointer<BoardImportExport> self(this);
    Dispatch::after(Delays::scaled(WorkDelayMs), [self, place, row] {
        if (self && self->m_context)
            self->writeExport(place, row);
        else
            ProgressHud::dismiss();
    });
}

void BoardImportExport::writeExport(const Place& place, int row)
{
    const bool opml = row == ExportOpml;
    const QString extension = opml ? QStringLiteral("opml") : QStringLiteral("csv");
    const QString fileName = Helpers::sanitizeFileNameString(place.title) + QLatin1Char('.') + extension;
    const QString folder = ExportStaging::privateExportFolder();
    const QString staged = FilePaths::child(folder, fileName);
    bool written = false;
    if (!folder.isEmpty() && opml) {
        written = ExportStaging::produceFile(staged, [&](const QString& path) {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) &&
                   Opml().writeOpml(file, m_context, place.projectId, place.title, place.folderId, true) &&
                   file.flush();
        });
    } else if (!folder.isEmpty()) {
        // A folder without cards gives an empty table, which is still the writer's file.
        const QByteArray text = Csv().getCsvWithContext(m_context, place.projectId, place.folderId).toUtf8();
        written = ExportStaging::writeFile(staged, text);
    }
    ProgressHud::dismiss();
    if (!written) {
        if (!folder.isEmpty())
            QDir(folder).removeRecursively();
        showError(ExportFailedMessage);
        emit exportFinished(false);
        return;
    }
    QPointer<BoardImportExport> self(this);
    DocumentPicker::exportDocument(m_board, fileName, [self, folder, staged](const std::optional<QString>& to) {
        const bool copied = to && ExportStaging::copyInto(staged, *to);
        QDir(folder).removeRecursively();
        if (!self)
            return;
        if (to && !copied)
            self->showError(ExportFailedMessage);
        emit self->exportFinished(copied);
    });
}

void BoardImportExport::showError(const QString& message)
{
    auto* alert = new Alert(ErrorTitle, message);
    alert->addAction(OkTitle);
    alert->present(m_board);
}
