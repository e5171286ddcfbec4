// Another copy of the application changing a card while an editor has it open:
//   editor_store_writer PATH update ITEM_ID TITLE     retitles the card
//   editor_store_writer PATH delete ITEM_ID [FOLDER]  deletes the card (and the folder)
//   editor_store_writer PATH body ITEM_ID WORDS       writes the card's body anew
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreModel.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"
#include "richtext/RichTextDocumentFormat.h"

#include <QCoreApplication>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("editor_store_writer"));
    if (argc < 4)
        return 2;
    PersistentContainer container(QStringLiteral("CardStore"), StoreModel::model());
    if (auto error = container.loadPersistentStores(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "%s\n", qPrintable(error->description()));
        return 3;
    }
    ManagedObjectContext* context = container.viewContext();
    const QString mode = QString::fromLocal8Bit(argv[2]);
    const QString itemId = QString::fromLocal8Bit(argv[3]);
    if (mode == QLatin1String("update") && argc >= 5) {
        ProjectItem* item = DbHelpers::getItem(context, itemId);
        if (!item)
            return 5;
        item->setTitle(QString::fromLocal8Bit(argv[4]));
    } else if (mode == QLatin1String("body") && argc >= 5) {
        ProjectItem* item = DbHelpers::getItem(context, itemId);
        ProjectItemDocument* document = DbHelpers::getItemDocument(context, itemId);
        if (!item || !document)
            return 5;
        QTextDocument words;
        words.setPlainText(QString::fromLocal8Bit(argv[4]));
        document->setContent(*RichTextDocumentFormat::getData(words, 1.0));
        item->setSummary(words.toPlainText());
    } else if (mode == QLatin1String("delete")) {
        DbHelpers::deleteItem(context, itemId);
        if (argc >= 5)
            DbHelpers::deleteItem(context, QString::fromLocal8Bit(argv[4]));
    } else {
        return 2;
    }
    return context->save() ? 4 : 0;
}
