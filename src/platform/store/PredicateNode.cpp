#include "PredicateNode.h"

#include "SqliteDatabase.h"

#include "StoreValue.h"

#include <QByteArray>
#include <optional>
#include <utility>

namespace {

using Operator = PredicateNode::Operator;

// The type affinity SQLite gives an operand of a comparison: columns have one, bound values have none.
enum class Affinity { None, Numeric, Text };

Affinity affinityOf(AttributeType type)
{
    switch (type) {
    case AttributeType::String:
        return Affinity::Text;
    case AttributeType::Integer:
    case AttributeType::Double:
    case AttributeType::Boolean:
    case AttributeType::Date:
        return Affinity::Numeric;
    case AttributeType::Binary:
        return Affinity::None;
    }
    return Affinity::None;
}

// In memory the column's declared type is unknown; the kind of value it holds stands for it. A null value has
// none, which changes nothing since null compares the same whatever the other side is converted to.
Affinity affinityOfValue(const QVariant& value)
{
    if (StoreValue::isNumeric(value))
        return Affinity::Numeric;
    return value.metaType().id() == QMetaType::QString ? Affinity::Text : Affinity::None;
}

// The affinity SQLite applies to each side before comparing: numeric wins over text and none, text over none.
std::pair<Affinity, Affinity> convertedAffinities(Affinity left, Affinity right)
{
    if (left == Affinity::Numeric && right != Affinity::Numeric)
        return {Affinity::None, Affinity::Numeric};
    if (right == Affinity::Numeric && left != Affinity::Numeric)
        return {Affinity::Numeric, Affinity::None};
    if (left == Affinity::Text && right == Affinity::None)
        return {Affinity::None, Affinity::Text};
    if (right == Affinity::Text && left == Affinity::None)
        return {Affinity::Text, Affinity::None};
    return {Affinity::None, Affinity::None};
}

bool isSqliteSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

qsizetype skipDigits(const QString& text, qsizetype i)
{
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
        ++i;
    return i;
}

// The number a text stands for when SQLite applies numeric affinity to it: a decimal literal with optional sign,
// fraction and exponent, blanks allowed around it. Anything else (hex, "inf", words) stays text.
std::optional<QVariant> numberFromText(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSqliteSpace(text[begin]))
        ++begin;
    while (end > begin && isSqliteSpace(text[end - 1]))
        --end;
    const QString literal = text.mid(begin, end - begin);
    qsizetype i = (!literal.isEmpty() && (literal[0] == u'+' || literal[0] == u'-')) ? 1 : 0;
    const qsizetype integerEnd = skipDigits(literal, i);
    bool hasDigits = integerEnd > i;
    i = integerEnd;
    bool isInteger = true;
    if (i < literal.size() && literal[i] == u'.') {
        isInteger = false;
        const qsizetype fractionEnd = skipDigits(literal, i + 1);
        hasDigits = hasDigits || fractionEnd > i + 1;
        i = fractionEnd;
    }
    if (!hasDigits)
        return std::nullopt;
    if (i < literal.size() && (literal[i] == u'e' || literal[i] == u'E')) {
        isInteger = false;
        qsizetype exponent = i + 1;
        if (exponent < literal.size() && (literal[exponent] == u'+' || literal[exponent] == u'-'))
            ++exponent;
        i = skipDigits(literal, exponent);
        if (i == exponent)
            return std::nullopt;
    }
    if (i != literal.size())
        return std::nullopt;
    bool ok = false;
    if (isInteger) {
        const qint64 integer = literal.toLongLong(&ok);
        if (ok)
            return QVariant::fromValue(integer);
    }
    const double real = literal.toDouble(&ok);
    return ok ? std::optional<QVariant>(QVariant(real)) : std::nullopt;
}

// SQLite writes a real with 15 significant digits and always shows it as a real ("5.0", "1.0e+20").
QString realText(double value)
{
    QString text = QString::asprintf("%.15g", value);
    if (text.contains(u'.') || text.contains(u'n') || text.contains(u'N'))
        return text;
    const qsizetype exponent = text.indexOf(u'e');
    if (exponent < 0)
        return text + QStringLiteral(".0");
    return text.insert(exponent, QStringLiteral(".0"));
}

// The value as SQLite's CAST(... AS TEXT) gives it; null stays null.
QVariant sqlText(const QVariant& value)
{
    const QVariant stored = StoreValue::toSql(value);
    switch (stored.metaType().id()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::LongLong:
        return QString::number(stored.toLongLong());
    case QMetaType::Double:
        return realText(stored.toDouble());
    case QMetaType::QByteArray:
        return QString::fromUtf8(stored.toByteArray());
    default:
        return stored.toString();
    }
}

QVariant withAffinity(const QVariant& value, Affinity affinity)
{
    if (affinity == Affinity::Numeric && value.metaType().id() == QMetaType::QString) {
        if (const std::optional<QVariant> number = numberFromText(value.toString()))
            return *number;
    }
    if (affinity == Affinity::Text && StoreValue::isNumeric(value))
        return sqlText(value);
    return value;
}

// Only ASCII letters fold: SQLite's built-in lower() does no more, and memory must agree with it.
QString asciiLower(QString text)
{
    for (QChar& c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return text;
}

QVariant textOperand(const QVariant& value, bool caseInsensitive)
{
    const QVariant text = sqlText(value);
    if (text.isNull() || !caseInsensitive)
        return text;
    return asciiLower(text.toString());
}

bool isTextOperator(Operator op)
{
    return op == Operator::Contains || op == Operator::BeginsWith || op == Operator::EndsWith;
}

bool matchesText(Operator op, QString text, QString part)
{
    // Qt holds that a null string does not start with an empty one; SQLite knows no such difference.
    if (text.isNull())
        text = QStringLiteral("");
    if (part.isNull())
        part = QStringLiteral("");
    switch (op) {
    case Operator::Contains:
        return text.contains(part);
    case Operator::BeginsWith:
        return text.startsWith(part);
    case Operator::EndsWith:
        return text.endsWith(part);
    default:
        return false;
    }
}

bool test(Operator op, const QVariant& left, const QVariant& right)
{
    if (op == Operator::Equal)
        return StoreValue::equals(left, right);
    if (op == Operator::NotEqual)
        return !StoreValue::equals(left, right);
    // Ordering and text matching with nil are false, as in SQL once NULL is taken as false.
    if (!StoreValue::toSql(left).isValid() || !StoreValue::toSql(right).isValid())
        return false;
    if (isTextOperator(op))
        return matchesText(op, left.toString(), right.toString());
    const int order = StoreValue::compare(left, right);
    switch (op) {
    case Operator::Less:
        return order < 0;
    case Operator::LessOrEqual:
        return order <= 0;
    case Operator::Greater:
        return order > 0;
    case Operator::GreaterOrEqual:
        return order >= 0;
    default:
        return false;
    }
}

QString orderingSymbol(Operator op)
{
    switch (op) {
    case Operator::Less:
        return QStringLiteral("<");
    case Operator::LessOrEqual:
        return QStringLiteral("<=");
    case Operator::Greater:
        return QStringLiteral(">");
    default:
        return QStringLiteral(">=");
    }
}

} // namespace

PredicateNode::Pointer PredicateNode::constant(bool value)
{
    return Pointer(new PredicateNode(value ? Kind::True : Kind::False));
}

PredicateNode::Pointer PredicateNode::compound(Kind kind, std::vector<Pointer> children)
{
    auto* node = new PredicateNode(kind);
    node->m_children = std::move(children);
    return Pointer(node);
}

PredicateNode::Pointer PredicateNode::comparison(Operand left, Operator op, Operand right, bool caseInsensitive)
{
    auto* node = new PredicateNode(Kind::Comparison);
    node->m_left = std::move(left);
    node->m_right = std::move(right);
    node->m_operator = op;
    node->m_caseInsensitive = caseInsensitive;
    return Pointer(node);
}

bool PredicateNode::evaluate(const ValueForKey& valueForKey) const
{
    switch (m_kind) {
    case Kind::True:
        return true;
    case Kind::False:
        return false;
    case Kind::And:
        for (const Pointer& child : m_children) {
            if (!child->evaluate(valueForKey))
                return false;
        }
        return true;
    case Kind::Or:
        for (const Pointer& child : m_children) {
            if (child->evaluate(valueForKey))
                return true;
        }
        return false;
    case Kind::Not:
        return !m_children.empty() && !m_children.front()->evaluate(valueForKey);
    case Kind::Comparison:
        return evaluateComparison(valueForKey);
    }
    return false;
}

bool PredicateNode::evaluateComparison(const ValueForKey& valueForKey) const
{
    QVariant left = m_left.isKey ? valueForKey(m_left.key) : m_left.value;
    QVariant right = m_right.isKey ? valueForKey(m_right.key) : m_right.value;
    if (isTextOperator(m_operator) || m_caseInsensitive) {
        left = textOperand(left, m_caseInsensitive);
        right = textOperand(right, m_caseInsensitive);
    } else {
        const auto [toLeft, toRight] = convertedAffinities(m_left.isKey ? affinityOfValue(left) : Affinity::None,
                                                           m_right.isKey ? affinityOfValue(right) : Affinity::None);
        left = withAffinity(left, toLeft);
        right = withAffinity(right, toRight);
    }
    return test(m_operator, left, right);
}

bool PredicateNode::appendSql(const EntityDescription& entity, QString& sql, QVariantList& bindings,
                              QString* error) const
{
    return appendSql(entity, false, sql, bindings, error);
}

// A pending negation is pushed down to the comparisons (De Morgan), so NOT never costs a nesting level: SQLite's
// parser gives up after a few dozen nested parentheses, while a text may nest NOT and parentheses far deeper.
bool PredicateNode::appendSql(const EntityDescription& entity, bool negated, QString& sql, QVariantList& bindings,
                              QString* error) const
{
    switch (m_kind) {
    case Kind::True:
    case Kind::False:
        sql += (m_kind == Kind::True) != negated ? u'1' : u'0';
        return true;
    case Kind::Not:
        return !m_children.empty() && m_children.front()->appendSql(entity, !negated, sql, bindings, error);
    case Kind::And:
    case Kind::Or:
        return appendJoined(entity, negated, sql, bindings, error);
    case Kind::Comparison:
        if (negated)
            sql += QStringLiteral("NOT ");
        return appendComparison(entity, sql, bindings, error);
    }
    return false;
}

PredicateNode::Kind PredicateNode::joinerKind(bool negated) const
{
    if (m_kind != Kind::And && m_kind != Kind::Or)
        return m_kind;
    return (m_kind == Kind::And) != negated ? Kind::And : Kind::Or;
}

// The terms that one flat chain of AND (or OR) joins: nested groups of the same joiner and negations are
// unwrapped, so that redundant parentheses cost nothing in SQL.
void PredicateNode::collectTerms(Kind joiner, bool negated, std::vector<Term>& terms) const
{
    if (m_kind == Kind::Not) {
        if (!m_children.empty())
            m_children.front()->collectTerms(joiner, !negated, terms);
        return;
    }
    if (joinerKind(negated) != joiner) {
        terms.push_back({this, negated});
        return;
    }
    for (const Pointer& child : m_children)
        child->collectTerms(joiner, negated, terms);
}

// Chains are cut into parenthesized runs: SQLite builds a flat chain as a tree as deep as the chain is long and
// refuses trees deeper than 1000, which a search of many words would reach.
bool PredicateNode::appendJoined(const EntityDescription& entity, bool negated, QString& sql, QVariantList& bindings,
                                 QString* error) const
{
    constexpr size_t RunLength = 256;
    const Kind joiner = joinerKind(negated);
    std::vector<Term> terms;
    for (const Pointer& child : m_children)
        child->collectTerms(joiner, negated, terms);
    if (terms.empty()) {
        sql += joiner == Kind::And ? u'1' : u'0';
        return true;
    }
    const QString separator = joiner == Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
    const bool cut = terms.size() > RunLength;
    sql += cut ? QStringLiteral("((") : QStringLiteral("(");
    for (size_t i = 0; i < terms.size(); ++i) {
        if (i > 0)
            sql += i % RunLength == 0 ? u')' + separator + u'(' : separator;
        if (!terms[i].node->appendSql(entity, terms[i].negated, sql, bindings, error))
            return false;
    }
    sql += cut ? QStringLiteral("))") : QStringLiteral(")");
    return true;
}

bool PredicateNode::appendComparison(const EntityDescription& entity, QString& sql, QVariantList& bindings,
                                     QString* error) const
{
    const AttributeDescription* leftAttribute = m_left.isKey ? entity.attribute(m_left.key) : nullptr;
    const AttributeDescription* rightAttribute = m_right.isKey ? entity.attribute(m_right.key) : nullptr;
    for (const auto& [operand, attribute] : {std::pair(&m_left, leftAttribute), std::pair(&m_right, rightAttribute)}) {
        if (operand->isKey && !attribute) {
            if (error)
                *error = QStringLiteral("Entity %1 has no attribute \"%2\"").arg(entity.name(), operand->key);
            return false;
        }
    }
    const bool asText = isTextOperator(m_operator) || m_caseInsensitive;
    // A pair, not a structured binding: the lambdas below capture both, and clang before 16 cannot capture a binding.
    const std::pair<Affinity, Affinity> affinities =
        convertedAffinities(leftAttribute ? affinityOf(leftAttribute->type()) : Affinity::None,
                            rightAttribute ? affinityOf(rightAttribute->type()) : Affinity::None);
    // Each call writes the operand once, binding a value again when the SQL names it again.
    auto operandSql = [&](const Operand& operand, Affinity affinity) {
        if (operand.isKey) {
            const QString column = SqliteDatabase::quotedName(operand.key);
            if (m_caseInsensitive)
                return QStringLiteral("lower(%1)").arg(column);
            return isTextOperator(m_operator) ? QStringLiteral("CAST(%1 AS TEXT)").arg(column) : column;
        }
        const QVariant value =
            asText ? textOperand(operand.value, m_caseInsensitive) : withAffinity(operand.value, affinity);
        bindings.append(StoreValue::toSql(value));
        return QStringLiteral("?");
    };
    auto left = [&] {
        return operandSql(m_left, affinities.first);
    };
    auto right = [&] {
        return operandSql(m_right, affinities.second);
    };

    // IS and IS NOT treat nil as a value, as the in-memory test does; every other test is wrapped so that a NULL
    // result reads as false, which keeps NOT (x < 3) true for a nil x in SQL as in memory.
    // Operands are written strictly left to right so that the bindings follow the order of the ? marks.
    QString text;
    auto put = [&](const QString& piece) {
        text += piece;
    };
    switch (m_operator) {
    case Operator::Equal:
    case Operator::NotEqual:
        put(QStringLiteral("(") + left());
        put(m_operator == Operator::Equal ? QStringLiteral(" IS ") : QStringLiteral(" IS NOT "));
        put(right() + QStringLiteral(")"));
        break;
    case Operator::Contains:
    case Operator::BeginsWith:
        // The first occurrence is at the start exactly when the text begins with the part.
        put(QStringLiteral("coalesce(instr(") + left());
        put(QStringLiteral(", ") + right());
        put(m_operator == Operator::Contains ? QStringLiteral(") > 0, 0)") : QStringLiteral(") = 1, 0)"));
        break;
    case Operator::EndsWith:
        put(QStringLiteral("coalesce(length(") + left());
        put(QStringLiteral(") >= length(") + right());
        put(QStringLiteral(") AND substr(") + left());
        put(QStringLiteral(", length(") + left());
        put(QStringLiteral(") - length(") + right());
        put(QStringLiteral(") + 1) = ") + right());
        put(QStringLiteral(", 0)"));
        break;
    default:
        put(QStringLiteral("coalesce(") + left());
        put(u' ' + orderingSymbol(m_operator) + u' ');
        put(right() + QStringLiteral(", 0)"));
        break;
    }
    sql += text;
    return true;
}
