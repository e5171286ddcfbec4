#pragma once

#include "Predicate.h"
#include "SortDescriptor.h"

#include <QList>
#include <QString>

// What to fetch or count: an entity, an optional condition, sort keys and a limit (0 for none).
class FetchRequest {
public:
    explicit FetchRequest(QString entityName);

    const QString& entityName() const { return m_entityName; }

    const Predicate& predicate() const { return m_predicate; }
    void setPredicate(const Predicate& predicate) { m_predicate = predicate; }
    void setPredicate(const QString& format, const QVariantList& arguments = {});

    const QList<SortDescriptor>& sortDescriptors() const { return m_sortDescriptors; }
    void setSortDescriptors(const QList<SortDescriptor>& sortDescriptors) { m_sortDescriptors = sortDescriptors; }

    int fetchLimit() const { return m_fetchLimit; }
    void setFetchLimit(int limit) { m_fetchLimit = limit; }

private:
    QString m_entityName;
    Predicate m_predicate;
    QList<SortDescriptor> m_sortDescriptors;
    int m_fetchLimit = 0;
};
