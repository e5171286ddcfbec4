#pragma once

#include "EntityDescription.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

// One node of a parsed predicate: a constant, a combination of child conditions, or a comparison of two
// operands (attribute keys or values). Each node turns into SQL whose result is always 0 or 1, never NULL,
// so that NOT, AND and OR behave in SQL exactly as they do over objects in memory.
class PredicateNode {
public:
    using Pointer = std::shared_ptr<const PredicateNode>;
    using ValueForKey = std::function<QVariant(const QString&)>;

    enum class Kind { True, False, And, Or, Not, Comparison };
    enum class Operator { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual, Contains, BeginsWith, EndsWith };

    // An attribute key or a value.
    struct Operand {
        bool isKey = false;
        QString key;
        QVariant value;
    };

    static Pointer constant(bool value);
    // And / Or with any number of children, Not with exactly one.
    static Pointer compound(Kind kind, std::vector<Pointer> children);
    // caseInsensitive compares the operands as text with ASCII letters folded, the way SQLite's lower() does.
    static Pointer comparison(Operand left, Operator op, Operand right, bool caseInsensitive);

    Kind kind() const { return m_kind; }

    bool evaluate(const ValueForKey& valueForKey) const;
    // Appends this condition as SQL over the entity's table, binding every value as a parameter.
    bool appendSql(const EntityDescription& entity, QString& sql, QVariantList& bindings, QString* error) const;

private:
    explicit PredicateNode(Kind kind) : m_kind(kind) {}

    // A node to write as one term of a chain, and whether a NOT applies to it.
    struct Term {
        const PredicateNode* node;
        bool negated;
    };

    bool evaluateComparison(const ValueForKey& valueForKey) const;
    bool appendSql(const EntityDescription& entity, bool negated, QString& sql, QVariantList& bindings,
                   QString* error) const;
    Kind joinerKind(bool negated) const;
    void collectTerms(Kind joiner, bool negated, std::vector<Term>& terms) const;
    bool appendJoined(const EntityDescription& entity, bool negated, QString& sql, QVariantList& bindings,
                      QString* error) const;
    bool appendComparison(const EntityDescription& entity, QString& sql, QVariantList& bindings, QString* error) const;

    Kind m_kind;
    std::vector<Pointer> m_children;
    Operand m_left;
    Operand m_right;
    Operator m_operator = Operator::Equal;
    bool m_caseInsensitive = false;
};
