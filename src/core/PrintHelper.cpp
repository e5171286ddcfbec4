#include "PrintHelper.h"

#include "platform/BarButtonItem.h"

#include <QApplication>
#include <QDebug>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <memory>

PrintHelper& PrintHelper::shared()
{
    static PrintHelper helper;
    return helper;
}

void PrintHelper::setPrintDialog(PrintDialog dialog)
{
    m_dialog = std::move(dialog);
}

void PrintHelper::printView(BarButtonItem* sender, const QRect& senderRect, QWidget* senderView, const QString& title,
                            QTextDocument* formatter, Completion completion)
{
    // The job outlives this call; the document may not, and is checked again before printing.
    QPointer<QTextDocument> document(formatter);
    printWith(
        sender, senderRect, senderView, title,
        [document](QPrinter* printer) -> std::optional<QString> {
            return document ? print(document, printer) : QStringLiteral("the document was closed");
        },
        std::move(completion));
}

void PrintHelper::printWith(BarButtonItem* sender, const QRect& senderRect, QWidget* senderView, const QString& title,
                            Render render, Completion completion)
{
    // A desktop print dialog is a window-modal sheet over its window; it has no arrow to point at a rectangle.
    Q_UNUSED(senderRect);
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(title);
    auto chosen = [printer, render = std::move(render), completion = std::move(completion)](bool accepted) {
        std::optional<QString> error;
        if (accepted)
            error = printer->isValid() ? render(printer.get()) : QStringLiteral("no printer is available");
        if (error)
            qWarning().noquote() << PrintErrorFormat.arg(*error);
        if (completion)
            completion(accepted && !error, error);
    };
    const PrintDialog& dialog = m_dialog ? m_dialog : PrintDialog(&PrintHelper::openPlatformDialog);
    dialog(printer.get(), dialogParent(sender, senderView), std::move(chosen));
}

void PrintHelper::openPlatformDialog(QPrinter* printer, QWidget* parent, std::function<void(bool)> chosen)
{
    auto* dialog = new QPrintDialog(printer, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [chosen = std::move(chosen)](int result) { chosen(result == QDialog::Accepted); });
    dialog->open();
}

QWidget* PrintHelper::dialogParent(BarButtonItem* sender, QWidget* senderView)
{
    if (sender) {
        for (QObject* object : sender->associatedObjects()) {
            if (auto* widget = qobject_cast<QWidget*>(object))
                return widget->window();
        }
    }
    if (senderView)
        return senderView->window();
    return QApplication::activeWindow();
}

std::optional<QString> PrintHelper::print(QTextDocument* document, QPrinter* printer)
{
    if (!printer->isValid())
        return QStringLiteral("no printer is available");
    document->print(printer);
    if (printer->printerState() != QPrinter::Error)
        return std::nullopt;
    if (printer->outputFormat() == QPrinter::PdfFormat)
        return QStringLiteral("the file %1 could not be written").arg(printer->outputFileName());
    return QStringLiteral("the printer %1 did not accept the job").arg(printer->printerName());
}
