// A second process for the store tests: commits to a store file the way another copy of the
// application would.
//   store_writer PATH insert UID         one item, then exit
//   store_writer PATH bulk ROWS          saves of ROWS items each, forever (killed by the test); says
//                                        "saving N" on stdout once save N has written its first row inside
//                                        its transaction, and "saved N" once it is stored
#include "StoreTestModel.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/PersistentContainer.h"

#include <QCoreApplication>
#include <cstdio>
#include <sqlite3.h>

namespace {

void insertItem(ManagedObjectContext* context, const QString& uid, int order)
{
    ManagedObject* item = context->insertNewObject(QStringLiteral("Item"));
    item->setValue(QStringLiteral("uniqueIdentifier"), uid);
    item->setValue(QStringLiteral("projectId"), QStringLiteral("P"));
    item->setValue(QStringLiteral("title"), QStringLiteral("Written elsewhere %1").arg(order));
    item->setValue(QStringLiteral("displayOrder"), order);
    item->setValue(QStringLiteral("content"), QByteArray(512, 'x'));
}

// Flushed at once: the test kills this process as soon as it reads the line.
void report(const char* what, int batch)
{
    std::printf("%s %d\n", what, batch);
    std::fflush(stdout);
}

// The save under way, said once its first row is written: a kill before that interrupts no save.
struct SaveUnderWay {
    int batch = -1;
    bool said = true;
};

SaveUnderWay& saveUnderWay()
{
    static SaveUnderWay save;
    return save;
}

void sayOnFirstRow(void*, int, const char*, const char*, sqlite3_int64)
{
    SaveUnderWay& save = saveUnderWay();
    if (save.said)
        return;
    save.said = true;
    report("saving", save.batch);
}

// Run by SQLite on every connection this process opens, the store's own included.
int watchRows(sqlite3* db, const char**, const sqlite3_api_routines*)
{
    sqlite3_update_hook(db, sayOnFirstRow, nullptr);
    return SQLITE_OK;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("store_writer"));
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(watchRows));
    if (argc < 4)
        return 2;
    PersistentContainer container(QStringLiteral("CardStore"), storeTestModel());
    if (auto error = container.loadPersistentStores(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "%s\n", qPrintable(error->description()));
        return 3;
    }
    ManagedObjectContext* context = container.viewContext();
    const QString mode = QString::fromLocal8Bit(argv[2]);
    if (mode == QLatin1String("insert")) {
        insertItem(context, QString::fromLocal8Bit(argv[3]), 1);
        return context->save() ? 4 : 0;
    }
    const int rows = QString::fromLocal8Bit(argv[3]).toInt();
    for (int batch = 0;; ++batch) {
        for (int i = 0; i < rows; ++i)
            insertItem(context, QStringLiteral("B%1-%2").arg(batch).arg(i), i);
        saveUnderWay() = {batch, false};
        if (context->save())
            return 4;
        report("saved", batch);
    }
}
