#include "Predicate.h"

#include "PredicateNode.h"
#include "PredicateParser.h"

#include <exception>

Predicate::Predicate() = default;

Predicate Predicate::parse(const QString& format, const QVariantList& arguments)
{
    Predicate predicate;
    // Parsing only allocates; should an allocation fail on a huge text, the caller still gets an error value.
    try {
        PredicateParser parser(format, arguments);
        predicate.m_root = parser.parse();
        predicate.m_error = parser.errorString();
    } catch (const std::exception& exception) {
        predicate.m_root.reset();
        predicate.m_error =
            QStringLiteral("Predicate could not be parsed: %1").arg(QString::fromUtf8(exception.what()));
    }
    if (!predicate.m_error.isEmpty())
        predicate.m_root.reset();
    return predicate;
}

bool Predicate::isEmpty() const
{
    return !m_root && m_error.isEmpty();
}

bool Predicate::isValid() const
{
    return m_error.isEmpty();
}

QString Predicate::errorString() const
{
    return m_error;
}

bool Predicate::toSql(const EntityDescription& entity, QString& sql, QVariantList& bindings, QString* error) const
{
    if (!isValid()) {
        if (error)
            *error = m_error;
        return false;
    }
    if (!m_root) {
        sql += u'1';
        return true;
    }
    // Built aside, so that a failure leaves the caller's text and bindings as they were.
    QString condition;
    QVariantList values;
    if (!m_root->appendSql(entity, condition, values, error))
        return false;
    sql += condition;
    bindings += values;
    return true;
}

bool Predicate::evaluate(const std::function<QVariant(const QString&)>& valueForKey) const
{
    if (!isValid())
        return false;
    return !m_root || m_root->evaluate(valueForKey);
}
