#pragma once

#include "KUVDocFormat.h"

#include <QList>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class PvTextView;
class QTextDocument;
class QWidget;
class ViewController;

// Writing a text for the writer in a chosen document type, shared by the compiled manuscript and the card
// editors: the picker of the four document types, Export (written privately, then copied where the writer
// chooses), Open in (written to Downloads under a free name, then handed to the desktop) and the text as it
// must be written (base size, no highlights, black, checkboxes for paper).
class DocumentExport {
public:
    struct Row {
        QString title;
        QString description;
        QString extension;
        int exportType = 0;
    };

    enum class Purpose { Export, OpenIn };

    static inline const QString ExportFormTitle = QStringLiteral("Export");
    static inline const QString ExportFormSubTitle = QStringLiteral("Choose a document type to export");
    static inline const QString OpenInFormTitle = QStringLiteral("Open in Application");
    static inline const QString OpenInFormSubTitle = QStringLiteral("Choose a document type");
    static inline const QString ErrorTitle = QStringLiteral("Error");
    static inline const QString ErrorMessage = QStringLiteral("The document could not be written.");
    static inline const QString ErrorButton = QStringLiteral("OK");
    static inline const QString DeleteErrorFormat = QStringLiteral("Delete file error: %1");

    // "Word", "RTF", "Apple RTF", "Plain Text", in this order.
    static QList<Row> rows();
    // The row chosen; any row past the last known one is plain text.
    static Row row(int index);
    // The tiles of the picker, one section.
    static QList<QList<KUVDocFormat>> formats();

    // Shows the picker over presenter and calls chosen with the row picked; nothing when cancelled.
    static void presentPicker(ViewController* presenter, Purpose purpose, std::function<void(int row)> chosen);

    // A copy of what view shows as it must be written: fonts back at base size, no search highlights, black,
    // checkboxes drawn for paper.
    static std::unique_ptr<QTextDocument> preparedText(PvTextView& view);

    // Export: writes text privately, lets the writer choose where it goes and copies it there; the private copy
    // is removed either way. done gets the destination, or nullopt when cancelled or failed (an "Error" alert
    // is shown over parent on failure).
    static void exportText(const QTextDocument& text, const QString& title, int row, QWidget* parent,
                           std::function<void(const std::optional<QString>&)> done = {});
    // Open in: writes text into Downloads under a free name and opens it; answers the file, or nullopt after
    // showing "Error" (nothing is opened then).
    // Export of any file: write makes it at the private path it is given, the writer chooses where it goes and
    // it is copied there; the private folder is removed either way. Failures as for exportText.
    static void exportFile(const QString& fileName, const std::function<bool(const QString& path)>& write,
                           QWidget* parent, std::function<void(const std::optional<QString>&)> done = {});
    static std::optional<QString> openInApplication(const QTextDocument& text, const QString& title, int row,
                                                    QWidget* parent);
    static void showError(QWidget* parent);

    // What the editors' "Export" and "Open in..." rows and the compiled manuscript's buttons do: after the
    // progress indicator has had time to show, the view's text is prepared and written for row. done gets the
    // file written (Open in) or copied to (Export), or nullopt.
    static void writeFromView(ViewController* presenter, PvTextView* view, const QString& title, Purpose purpose,
                              int row, std::function<void(const std::optional<QString>&)> done = {});
    // The picker first, then writeFromView with the row chosen.
    static void chooseAndWrite(ViewController* presenter, PvTextView* view, const QString& title, Purpose purpose,
                               std::function<void(const std::optional<QString>&)> done = {});

    // The wait before work behind the progress indicator, so that the indicator is drawn first.
    static constexpr int WorkDelayMs = 400;

private:
    // Gives every checkbox of text the light image, whatever appearance it was made in.
    static void paperCheckboxes(QTextDocument& text);
};
