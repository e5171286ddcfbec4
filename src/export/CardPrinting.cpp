#include "CardPrinting.h"

#include "DocumentExport.h"
#include "core/CardPrintPageRenderer.h"
#include "core/PrintHelper.h"
#include "platform/BarButtonItem.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/ProgressHud.h"
#include "richtext/PvTextView.h"
#include "richtext/RichTextDocumentFormat.h"
#include "richtext/TextRuns.h"

#include <QPointer>
#include <QTextDocument>
#include <memory>

std::unique_ptr<QTextDocument> CardPrinting::printText(const PvTextView& view)
{
    const std::optional<QByteArray> data = view.getData(view.fontSize());
    RichTextDocumentFormat::LoadResult loaded =
        RichTextDocumentFormat::loadFromDataForPrint(data.value_or(QByteArray()));
    std::unique_ptr<QTextDocument> text =
        loaded.document ? std::move(loaded.document) : RichTextDocumentFormat::loadFrom({}).document;
    // The stored copy the view hands over already has no highlight behind its text.
    TextRuns::scaleFonts(*text, PrintScale, false);
    TextRuns::setForeground(*text, QColor(Qt::black));
    return text;
}

void CardPrinting::printCard(PvTextView* view, const QString& fullTitle, BarButtonItem* overflowButton,
                             std::function<void(bool)> completion)
{
    ProgressHud::show();
    QPointer<PvTextView> source(view);
    QPointer<BarButtonItem> sender(overflowButton);
    Dispatch::after(Delays::scaled(DocumentExport::WorkDelayMs), [source, sender, fullTitle, completion] {
        ProgressHud::dismiss();
        if (!source)
            return;
        std::shared_ptr<QTextDocument> text = printText(*source);
        PrintHelper::shared().printWith(
            sender, QRect(), source, fullTitle,
            [text](QPrinter* printer) { return CardPrintPageRenderer::printPages(printer, *text, {}); },
            [completion](bool completed, const std::optional<QString>&) {
                if (completion)
                    completion(completed);
            });
    });
}
