#pragma once

#include "export/KUVDocFormat.h"
#include "platform/store/ManagedObjectContext.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class ManagedObjectContext;
class ViewController;

// The board's "Import" and "Export": a chooser of formats, then the desktop's file panel. Import reads OPML
// outlines (folders and cards) or one RTF or text file as a card into the board's folder; export writes the
// folder as OPML or CSV. The project and folder are fixed when the writer chooses, so moving the board on
// while a panel is open changes nothing; new items follow the folder's children as the store counts them.
// Files are staged in a private folder and copied where the writer chose.
class BoardImportExport : public QObject {
    Q_OBJECT

public:
    // Where the board stands when the writer chooses.
    struct Place {
        QString projectId;
        QString folderId;
        QString title;
        qint64 itemFilter = 0;
    };
    // What the board does around an import.
    struct Hooks {
        std::function<void()> stopObservingStoreChanges;
        std::function<void()> startObservingStoreChanges;
        std::function<void()> reloadCards;
        std::function<void(bool scrollToEnd)> reloadBoard;
        std::function<void()> refreshSidebar;
    };

    static inline const QString ImportTitle = QStringLiteral("Import");
    static inline const QString ImportSubtitle = QStringLiteral("Choose a document type to import");
    static inline const QString ExportTitle = QStringLiteral("Export");
    static inline const QString ExportSubtitle = QStringLiteral("Choose a document type to export");
    static inline const QString OpmlRow = QStringLiteral("OPML");
    static inline const QString OpmlDescription = QStringLiteral("For outlining applications");
    static inline const QString RtfRow = QStringLiteral("RTF");
    static inline const QString PlainTextRow = QStringLiteral("Plain Text");
    static inline const QString CsvRow = QStringLiteral("CSV");
    static inline const QString ErrorTitle = QStringLiteral("Error");
    static inline const QString OkTitle = QStringLiteral("OK");
    static inline const QString UnsupportedFileMessage =
        QStringLiteral("Unable to import the specified file.\r\nOnly RTF, Plain Text and OPML files may be imported.");
    static inline const QString UnreadableOutlineMessage = QStringLiteral("Unable to import the specified file.");
    static inline const QString ExportFailedMessage = QStringLiteral("The document could not be written.");
    static constexpr int WorkDelayMs = 400;

    enum ImportRow { ImportOpml = 0, ImportRtf = 1, ImportPlainText = 2 };
    enum ExportRow { ExportOpml = 0, ExportCsv = 1 };

    BoardImportExport(ViewController* board, ManagedObjectContext* context, std::function<Place()> place, Hooks hooks,
                      QObject* parent = nullptr);

    void showImportChooser();
    void showExportChooser();
    // As choosing a row of the chooser.
    void importRow(int row);
    void exportRow(int row);

    static QList<KUVDocFormat> importFormats();
    static QList<KUVDocFormat> exportFormats();
    // File panel filters for an import row; empty for a row outside the table.
    static QStringList nameFilters(int row);

signals:
    // After each import or export ran (or was refused), with its outcome; for the board and tests.
    void importFinished(bool succeeded);
    void exportFinished(bool succeeded);

private:
    void presentChooser(const QString& title, const QString& subtitle, const QList<KUVDocFormat>& formats,
                        std::function<void(int)> chosen);
    void importFile(const Place& place, const QString& path);
    void importOutline(const Place& place, const QString& path);
    void importCard(const Place& place, const QString& path, bool isRtf);
    void writeExport(const Place& place, int row);
    void showError(const QString& message);

    QPointer<ViewController> m_board;
    QPointer<ManagedObjectContext> m_context;
    std::function<Place()> m_place;
    Hooks m_hooks;
};
