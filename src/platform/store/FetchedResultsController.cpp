#include "FetchedResultsController.h"

#include "ManagedObjectContext.h"

FetchedResultsController::FetchedResultsController(FetchRequest request, ManagedObjectContext* context,
                                                   QObject* parent)
    : QObject(parent), m_request(std::move(request)), m_context(context)
{
    connect(context, &ManagedObjectContext::didSave, this, &FetchedResultsController::refetch);
    connect(context, &ManagedObjectContext::objectsDidChange, this, &FetchedResultsController::refetch);
}

std::optional<StoreError> FetchedResultsController::performFetch()
{
    StoreError error;
    error.sqliteCode = 0;
    QList<ManagedObject*> objects = m_context->fetch(m_request, &error);
    if (!error.message.isEmpty())
        return error;
    m_objects = objects;
    m_fetched = true;
    return std::nullopt;
}

ManagedObject* FetchedResultsController::objectAt(int row) const
{
    return row >= 0 && row < m_objects.size() ? m_objects[row] : nullptr;
}

void FetchedResultsController::refetch()
{
    if (!m_fetched)
        return;
    if (!performFetch())
        emit didChangeContent();
}
