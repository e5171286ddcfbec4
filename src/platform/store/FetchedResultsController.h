#pragma once

#include "FetchRequest.h"
#include "StoreError.h"

#include <QList>
#include <QObject>
#include <optional>

class ManagedObject;
class ManagedObjectContext;

// One section of results over a fetch request, fetched again after every save or merge of its context.
class FetchedResultsController : public QObject {
    Q_OBJECT

public:
    FetchedResultsController(FetchRequest request, ManagedObjectContext* context, QObject* parent = nullptr);

    std::optional<StoreError> performFetch();
    const QList<ManagedObject*>& fetchedObjects() const { return m_objects; }
    int sectionCount() const { return m_fetched ? 1 : 0; }
    int count() const { return int(m_objects.size()); }
    ManagedObject* objectAt(int row) const;
    const FetchRequest& fetchRequest() const { return m_request; }
    ManagedObjectContext* managedObjectContext() const { return m_context; }

signals:
    void didChangeContent();

private:
    void refetch();

    FetchRequest m_request;
    ManagedObjectContext* m_context;
    QList<ManagedObject*> m_objects;
    bool m_fetched = false;
};
