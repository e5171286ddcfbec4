#pragma once

#include <QRect>
#include <QString>
#include <functional>
#include <optional>

class BarButtonItem;
class QPrinter;
class QTextDocument;
class QWidget;

// The application's one print controller: asks for a printer through the print dialog, then prints a
// document with the job's title. Tests swap the dialog for one that prints straight to a PDF file.
class PrintHelper {
public:
    static inline const QString PrintErrorFormat = QStringLiteral("Printing could not complete because of error: %1");

    // Called once the job ends: completed is false when the writer cancelled or an error stopped it.
    using Completion = std::function<void(bool completed, const std::optional<QString>& error)>;
    // Lets the writer choose a printer over parent and answers through `chosen` whether to print.
    using PrintDialog = std::function<void(QPrinter* printer, QWidget* parent, std::function<void(bool)> chosen)>;

    static PrintHelper& shared();

    // Draws a whole job on a printer; answers an error text when the job failed.
    using Render = std::function<std::optional<QString>(QPrinter* printer)>;

    // An empty dialog restores the platform's print dialog.
    void setPrintDialog(PrintDialog dialog);

    // Prints formatter under the job name title. The dialog opens over the window of the bar button item when
    // one is given, else over senderView's window; it never blocks the caller. Errors are only logged.
    void printView(BarButtonItem* sender, const QRect& senderRect, QWidget* senderView, const QString& title,
                   QTextDocument* formatter, Completion completion = {});

    // As printView, for a job that draws its own pages (a page renderer).
    void printWith(BarButtonItem* sender, const QRect& senderRect, QWidget* senderView, const QString& title,
                   Render render, Completion completion = {});

private:
    PrintHelper() = default;

    static void openPlatformDialog(QPrinter* printer, QWidget* parent, std::function<void(bool)> chosen);
    static QWidget* dialogParent(BarButtonItem* sender, QWidget* senderView);
    static std::optional<QString> print(QTextDocument* document, QPrinter* printer);

    PrintDialog m_dialog;
};
