#include "StoreFixture.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString Item = QStringLiteral("Item");
const QString Uid = QStringLiteral("uniqueIdentifier");
const QString Title = QStringLiteral("title");
const QString Order = QStringLiteral("displayOrder");

// Saving chosen objects alone, and reading values without objects.
class StoreSaveObjectsTest : public StoreFixture {
protected:
    ManagedObject* addItem(const QString& uid, int order)
    {
        ManagedObject* item = context()->insertNewObject(Item);
        item->setValue(Uid, uid);
        item->setValue(QStringLiteral("projectId"), QStringLiteral("P"));
        item->setValue(Title, QStringLiteral("Title ") + uid);
        item->setValue(Order, order);
        return item;
    }

    // Titles by identifier as another connection reads them from the file.
    QMap<QString, QString> savedTitles() const
    {
        PersistentContainer other(QStringLiteral("CardStore"), storeTestModel());
        EXPECT_FALSE(other.loadPersistentStores(path()));
        QMap<QString, QString> titles;
        for (ManagedObject* object : other.viewContext()->fetch(FetchRequest(Item)))
            titles.insert(object->value(Uid).toString(), object->value(Title).toString());
        return titles;
    }
};

TEST_F(StoreSaveObjectsTest, savingOneObjectLeavesOtherEditsPendingAndUnsaved)
{
    ManagedObject* edited = addItem(QStringLiteral("A"), 1);
    ManagedObject* doomed = addItem(QStringLiteral("D"), 2);
    ASSERT_FALSE(context()->save());
    edited->setValue(Title, QStringLiteral("Unsaved title"));
    context()->deleteObject(doomed);
    ManagedObject* unsavedNew = addItem(QStringLiteral("N"), 3);
    ManagedObject* side = addItem(QStringLiteral("S"), 4);

    ASSERT_FALSE(context()->saveObjects({side}));

    EXPECT_EQ(savedTitles(), (QMap<QString, QString>{{QStringLiteral("A"), QStringLiteral("Title A")},
                                                     {QStringLiteral("D"), QStringLiteral("Title D")},
                                                     {QStringLiteral("S"), QStringLiteral("Title S")}}));
    EXPECT_FALSE(side->hasChanges());
    EXPECT_GT(side->primaryKey(), 0);
    EXPECT_TRUE(edited->isUpdated());
    EXPECT_TRUE(unsavedNew->isInserted());
    EXPECT_TRUE(doomed->isDeleted());
    EXPECT_EQ(context()->insertedObjects(), QList<ManagedObject*>({unsavedNew}));
    EXPECT_EQ(context()->updatedObjects(), QList<ManagedObject*>({edited}));
    EXPECT_EQ(context()->deletedObjects(), QList<ManagedObject*>({doomed}));

    // The writer may still discard what was left pending, and the side record stays.
    context()->rollback();
    EXPECT_EQ(edited->value(Title).toString(), QStringLiteral("Title A"));
    EXPECT_EQ(context()->fetch(FetchRequest(Item)).size(), 3);
}

TEST_F(StoreSaveObjectsTest, aLaterFullSaveWritesWhatWasLeftPending)
{
    ManagedObject* edited = addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    edited->setValue(Title, QStringLiteral("Kept"));
    ManagedObject* side = addItem(QStringLiteral("S"), 2);
    ASSERT_FALSE(context()->saveObjects({side}));
    side->setValue(Title, QStringLiteral("Side again"));
    ASSERT_FALSE(context()->save());
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_EQ(savedTitles(), (QMap<QString, QString>{{QStringLiteral("A"), QStringLiteral("Kept")},
                                                     {QStringLiteral("S"), QStringLiteral("Side again")}}));
}

TEST_F(StoreSaveObjectsTest, savingUnchangedOrForeignObjectsWritesNothing)
{
    ManagedObject* saved = addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    const qint64 token = context()->currentQueryGenerationToken().historyToken;
    ASSERT_FALSE(context()->saveObjects({saved, nullptr}));
    EXPECT_EQ(context()->currentQueryGenerationToken().historyToken, token);
}

TEST_F(StoreSaveObjectsTest, valuesComeInSortOrderAndSeePendingChanges)
{
    addItem(QStringLiteral("A"), 3);
    addItem(QStringLiteral("B"), 1);
    ManagedObject* c = addItem(QStringLiteral("C"), 2);
    ASSERT_FALSE(context()->save());
    FetchRequest request(Item);
    request.setSortDescriptors({{Order, false}});
    EXPECT_EQ(context()->fetchValues(request, {Uid, Order}), (QList<QVariantList>{{QStringLiteral("A"), qint64(3)},
                                                                                  {QStringLiteral("C"), qint64(2)},
                                                                                  {QStringLiteral("B"), qint64(1)}}));
    c->setValue(Order, 9);
    context()->deleteObject(c);
    addItem(QStringLiteral("D"), 5);
    QStringList seen;
    ASSERT_TRUE(context()->fetchValues(request, {Uid}, [&seen](const QVariantList& row) {
        seen.append(row[0].toString());
        return true;
    }));
    EXPECT_EQ(seen, QStringList({QStringLiteral("D"), QStringLiteral("A"), QStringLiteral("B")}));
}

TEST_F(StoreSaveObjectsTest, readingValuesStopsWhenAsked)
{
    for (int i = 0; i < 10; ++i)
        addItem(QString::number(i), i);
    ASSERT_FALSE(context()->save());
    FetchRequest request(Item);
    request.setSortDescriptors({{Order, true}});
    int rows = 0;
    ASSERT_TRUE(context()->fetchValues(request, {Order}, [&rows](const QVariantList&) { return ++rows < 3; }));
    EXPECT_EQ(rows, 3);
}

TEST_F(StoreSaveObjectsTest, unknownKeyOrBadPredicateFailsTheRead)
{
    addItem(QStringLiteral("A"), 1);
    ASSERT_FALSE(context()->save());
    StoreError error;
    EXPECT_TRUE(context()->fetchValues(FetchRequest(Item), {QStringLiteral("nope")}, &error).isEmpty());
    EXPECT_FALSE(error.message.isEmpty());
    FetchRequest bad(Item);
    bad.setPredicate(QStringLiteral("title ==== 'x'"));
    StoreError predicateError;
    EXPECT_TRUE(context()->fetchValues(bad, {Uid}, &predicateError).isEmpty());
    EXPECT_FALSE(predicateError.message.isEmpty());
}

} // namespace
