#include "FetchRequest.h"

FetchRequest::FetchRequest(QString entityName) : m_entityName(std::move(entityName)) {}

void FetchRequest::setPredicate(const QString& format, const QVariantList& arguments)
{
    m_predicate = Predicate::parse(format, arguments);
}
