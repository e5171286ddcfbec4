#include "PredicateParser.h"

#include "StoreValue.h"

#include <QHash>

namespace {

using Operator = PredicateNode::Operator;

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isWordStart(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isWordPart(QChar c)
{
    return isWordStart(c) || isAsciiDigit(c);
}

// Words with a meaning of their own in a predicate; none of them can name an attribute.
enum class Keyword { None, And, Or, Not, True, False, Nil, Yes, No, Contains, BeginsWith, EndsWith, Unsupported };

Keyword keywordOf(const QString& word)
{
    static const QHash<QString, Keyword> keywords = {
        {QStringLiteral("and"), Keyword::And},
        {QStringLiteral("or"), Keyword::Or},
        {QStringLiteral("not"), Keyword::Not},
        {QStringLiteral("truepredicate"), Keyword::True},
        {QStringLiteral("falsepredicate"), Keyword::False},
        {QStringLiteral("nil"), Keyword::Nil},
        {QStringLiteral("null"), Keyword::Nil},
        {QStringLiteral("true"), Keyword::Yes},
        {QStringLiteral("yes"), Keyword::Yes},
        {QStringLiteral("false"), Keyword::No},
        {QStringLiteral("no"), Keyword::No},
        {QStringLiteral("contains"), Keyword::Contains},
        {QStringLiteral("beginswith"), Keyword::BeginsWith},
        {QStringLiteral("endswith"), Keyword::EndsWith},
        {QStringLiteral("like"), Keyword::Unsupported},
        {QStringLiteral("matches"), Keyword::Unsupported},
        {QStringLiteral("in"), Keyword::Unsupported},
        {QStringLiteral("between"), Keyword::Unsupported},
        {QStringLiteral("any"), Keyword::Unsupported},
        {QStringLiteral("all"), Keyword::Unsupported},
        {QStringLiteral("some"), Keyword::Unsupported},
        {QStringLiteral("none"), Keyword::Unsupported},
    };
    return keywords.value(word.toLower(), Keyword::None);
}

bool isIdentifier(const QString& text)
{
    if (text.isEmpty() || !isWordStart(text[0]))
        return false;
    for (QChar c : text) {
        if (!isWordPart(c))
            return false;
    }
    return keywordOf(text) == Keyword::None;
}

bool isAcceptedArgument(const QVariant& value)
{
    const int typeId = value.metaType().id();
    return !StoreValue::toSql(value).isValid() || StoreValue::isNumeric(value) || typeId == QMetaType::QString ||
           typeId == QMetaType::QByteArray;
}

struct SymbolOperator {
    const char16_t* text;
    Operator op;
};

// Longer spellings first, so that "<=" is not read as "<" followed by "=".
constexpr SymbolOperator symbolOperators[] = {
    {u"==", Operator::Equal},          {u"=<", Operator::LessOrEqual}, {u"=>", Operator::GreaterOrEqual},
    {u"!=", Operator::NotEqual},       {u"<>", Operator::NotEqual},    {u"<=", Operator::LessOrEqual},
    {u">=", Operator::GreaterOrEqual}, {u"=", Operator::Equal},        {u"<", Operator::Less},
    {u">", Operator::Greater},
};

} // namespace

PredicateParser::PredicateParser(const QString& format, const QVariantList& arguments)
    : m_text(format), m_arguments(arguments)
{
}

PredicateNode::Pointer PredicateParser::parse()
{
    if (m_text.size() > MaximumLength) {
        m_error = QStringLiteral("Predicate text is longer than %1 characters").arg(MaximumLength);
        return nullptr;
    }
    if (m_text.trimmed().isEmpty())
        return nullptr;
    if (!tokenize())
        return nullptr;
    PredicateNode::Pointer root = parseOr(0);
    if (!root)
        return nullptr;
    if (current().type != TokenType::End) {
        fail(QStringLiteral("unexpected %1").arg(describeCurrent()), current().position);
        return nullptr;
    }
    return root;
}

bool PredicateParser::fail(const QString& message, qsizetype position)
{
    if (m_error.isEmpty())
        m_error = QStringLiteral("Malformed predicate: %1 at position %2").arg(message).arg(position);
    return false;
}

QString PredicateParser::describeCurrent() const
{
    if (current().type == TokenType::End)
        return QStringLiteral("end of text");
    return QStringLiteral("\"%1\"").arg(m_text.mid(current().position, 20));
}

void PredicateParser::addToken(TokenType type, qsizetype position)
{
    Token token;
    token.type = type;
    token.position = position;
    m_tokens.push_back(std::move(token));
}

bool PredicateParser::tokenize()
{
    qsizetype i = 0;
    while (i < m_text.size()) {
        const QChar c = m_text[i];
        const QChar next = i + 1 < m_text.size() ? m_text[i + 1] : QChar();
        const QChar afterNext = i + 2 < m_text.size() ? m_text[i + 2] : QChar();
        const bool startsNumber =
            isAsciiDigit(c) || (c == u'.' && isAsciiDigit(next)) ||
            ((c == u'+' || c == u'-') && (isAsciiDigit(next) || (next == u'.' && isAsciiDigit(afterNext))));
        bool ok = true;
        if (c.isSpace())
            ++i;
        else if (c == u'\'' || c == u'"')
            ok = readQuoted(i);
        else if (startsNumber)
            ok = readNumber(i);
        else if (isWordStart(c))
            ok = readWord(i);
        else if (c == u'%')
            ok = readPlaceholder(i);
        else
            ok = readSymbol(i);
        if (!ok)
            return false;
    }
    addToken(TokenType::End, m_text.size());
    return true;
}

bool PredicateParser::readQuoted(qsizetype& i)
{
    const qsizetype start = i;
    const QChar quote = m_text[i++];
    QString text;
    while (i < m_text.size() && m_text[i] != quote) {
        QChar c = m_text[i++];
        if (c == u'\\') {
            if (i >= m_text.size())
                break;
            c = m_text[i++];
            if (c == u'n')
                c = u'\n';
            else if (c == u't')
                c = u'\t';
            else if (c == u'r')
                c = u'\r';
        }
        text += c;
    }
    if (i >= m_text.size())
        return fail(QStringLiteral("unterminated quoted text"), start);
    ++i;
    addToken(TokenType::Value, start);
    m_tokens.back().value = text;
    return true;
}

bool PredicateParser::readNumber(qsizetype& i)
{
    const qsizetype start = i;
    if (m_text[i] == u'+' || m_text[i] == u'-')
        ++i;
    bool isInteger = true;
    while (i < m_text.size() && isAsciiDigit(m_text[i]))
        ++i;
    if (i < m_text.size() && m_text[i] == u'.') {
        isInteger = false;
        for (++i; i < m_text.size() && isAsciiDigit(m_text[i]); ++i) {
        }
    }
    if (i + 1 < m_text.size() && (m_text[i] == u'e' || m_text[i] == u'E')) {
        qsizetype exponent = i + 1;
        if (m_text[exponent] == u'+' || m_text[exponent] == u'-')
            ++exponent;
        if (exponent < m_text.size() && isAsciiDigit(m_text[exponent])) {
            isInteger = false;
            for (i = exponent; i < m_text.size() && isAsciiDigit(m_text[i]); ++i) {
            }
        }
    }
    const QString literal = m_text.mid(start, i - start);
    bool ok = false;
    QVariant value;
    if (isInteger) {
        const qint64 integer = literal.toLongLong(&ok);
        if (ok)
            value = QVariant::fromValue(integer);
    }
    if (!ok)
        value = literal.toDouble(&ok);
    if (!ok)
        return fail(QStringLiteral("malformed number \"%1\"").arg(literal), start);
    addToken(TokenType::Value, start);
    m_tokens.back().value = value;
    return true;
}

bool PredicateParser::readWord(qsizetype& i)
{
    const qsizetype start = i;
    while (i < m_text.size() && isWordPart(m_text[i]))
        ++i;
    const QString word = m_text.mid(start, i - start);
    const Keyword keyword = keywordOf(word);
    switch (keyword) {
    case Keyword::None:
        addToken(TokenType::Key, start);
        m_tokens.back().key = word;
        return true;
    case Keyword::And:
        addToken(TokenType::And, start);
        return true;
    case Keyword::Or:
        addToken(TokenType::Or, start);
        return true;
    case Keyword::Not:
        addToken(TokenType::Not, start);
        return true;
    case Keyword::True:
        addToken(TokenType::True, start);
        return true;
    case Keyword::False:
        addToken(TokenType::False, start);
        return true;
    case Keyword::Nil:
    case Keyword::Yes:
    case Keyword::No: {
        addToken(TokenType::Value, start);
        if (keyword != Keyword::Nil)
            m_tokens.back().value = keyword == Keyword::Yes;
        return true;
    }
    case Keyword::Contains:
    case Keyword::BeginsWith:
    case Keyword::EndsWith: {
        addToken(TokenType::Operator, start);
        m_tokens.back().op = keyword == Keyword::Contains     ? Operator::Contains
                             : keyword == Keyword::BeginsWith ? Operator::BeginsWith
                                                              : Operator::EndsWith;
        return readModifiers(i, m_tokens.back());
    }
    case Keyword::Unsupported:
        break;
    }
    return fail(QStringLiteral("unsupported operator \"%1\"").arg(word), start);
}

bool PredicateParser::takeArgument(qsizetype position, QVariant& value)
{
    if (m_nextArgument >= m_arguments.size())
        return fail(QStringLiteral("too few arguments for the placeholders"), position);
    value = m_arguments.at(m_nextArgument++);
    if (!isAcceptedArgument(value))
        return fail(QStringLiteral("argument of unsupported type %1").arg(QString::fromLatin1(value.typeName())),
                    position);
    return true;
}

bool PredicateParser::readPlaceholder(qsizetype& i)
{
    const qsizetype start = i;
    static const QString specifiers[] = {QStringLiteral("lld"), QStringLiteral("lli"), QStringLiteral("llu"),
                                         QStringLiteral("ld"),  QStringLiteral("li"),  QStringLiteral("lu"),
                                         QStringLiteral("@"),   QStringLiteral("d"),   QStringLiteral("i"),
                                         QStringLiteral("u"),   QStringLiteral("f"),   QStringLiteral("K")};
    const QStringView rest = QStringView(m_text).mid(i + 1);
    for (const QString& specifier : specifiers) {
        if (!rest.startsWith(specifier))
            continue;
        i += 1 + specifier.size();
        QVariant value;
        if (!takeArgument(start, value))
            return false;
        if (specifier == u"K") {
            if (!isIdentifier(value.toString()))
                return fail(QStringLiteral("%K argument is not an attribute key"), start);
            addToken(TokenType::Key, start);
            m_tokens.back().key = value.toString();
            return true;
        }
        if (specifier == u"f" && value.isValid() && !value.isNull()) {
            bool ok = false;
            const double real = value.metaType().id() == QMetaType::QString ? value.toString().toDouble(&ok)
                                                                            : StoreValue::toDouble(value);
            if (value.metaType().id() == QMetaType::QString && !ok)
                return fail(QStringLiteral("%f argument is not a number"), start);
            value = real;
        }
        addToken(TokenType::Value, start);
        m_tokens.back().value = value;
        return true;
    }
    return fail(QStringLiteral("unknown placeholder"), start);
}

bool PredicateParser::readSymbol(qsizetype& i)
{
    const qsizetype start = i;
    const QStringView rest = QStringView(m_text).mid(i);
    auto simple = [&](TokenType type, qsizetype length) {
        addToken(type, start);
        i += length;
        return true;
    };
    if (rest.startsWith(u'('))
        return simple(TokenType::LeftParen, 1);
    if (rest.startsWith(u')'))
        return simple(TokenType::RightParen, 1);
    if (rest.startsWith(u"&&"))
        return simple(TokenType::And, 2);
    if (rest.startsWith(u"||"))
        return simple(TokenType::Or, 2);
    for (const SymbolOperator& symbol : symbolOperators) {
        const QStringView text(symbol.text);
        if (rest.startsWith(text)) {
            addToken(TokenType::Operator, start);
            m_tokens.back().op = symbol.op;
            i += text.size();
            return readModifiers(i, m_tokens.back());
        }
    }
    if (rest.startsWith(u'!'))
        return simple(TokenType::Not, 1);
    return fail(QStringLiteral("unexpected character \"%1\"").arg(m_text[i]), start);
}

bool PredicateParser::readModifiers(qsizetype& i, Token& token)
{
    qsizetype j = i;
    while (j < m_text.size() && m_text[j].isSpace())
        ++j;
    if (j >= m_text.size() || m_text[j] != u'[')
        return true;
    const qsizetype start = j;
    for (++j; j < m_text.size() && m_text[j] != u']'; ++j) {
        const QChar option = m_text[j].toLower();
        if (option == u'c')
            token.caseInsensitive = true;
        else if (option != u'd' && option != u'n')
            return fail(QStringLiteral("unknown operator option"), j);
    }
    if (j >= m_text.size())
        return fail(QStringLiteral("unterminated operator options"), start);
    i = j + 1;
    return true;
}

PredicateNode::Pointer PredicateParser::parseOr(int depth)
{
    std::vector<PredicateNode::Pointer> children;
    do {
        if (!children.empty())
            ++m_next;
        PredicateNode::Pointer child = parseAnd(depth);
        if (!child)
            return nullptr;
        children.push_back(std::move(child));
    } while (current().type == TokenType::Or);
    if (children.size() == 1)
        return children.front();
    return PredicateNode::compound(PredicateNode::Kind::Or, std::move(children));
}

PredicateNode::Pointer PredicateParser::parseAnd(int depth)
{
    std::vector<PredicateNode::Pointer> children;
    do {
        if (!children.empty())
            ++m_next;
        PredicateNode::Pointer child = parseNot(depth);
        if (!child)
            return nullptr;
        children.push_back(std::move(child));
    } while (current().type == TokenType::And);
    if (children.size() == 1)
        return children.front();
    return PredicateNode::compound(PredicateNode::Kind::And, std::move(children));
}

PredicateNode::Pointer PredicateParser::parseNot(int depth)
{
    if (current().type != TokenType::Not)
        return parsePrimary(depth);
    if (depth >= MaximumDepth) {
        fail(QStringLiteral("nested more than %1 levels deep").arg(MaximumDepth), current().position);
        return nullptr;
    }
    ++m_next;
    PredicateNode::Pointer child = parseNot(depth + 1);
    if (!child)
        return nullptr;
    return PredicateNode::compound(PredicateNode::Kind::Not, {std::move(child)});
}

PredicateNode::Pointer PredicateParser::parsePrimary(int depth)
{
    const Token& token = current();
    if (token.type == TokenType::True || token.type == TokenType::False) {
        ++m_next;
        return PredicateNode::constant(token.type == TokenType::True);
    }
    if (token.type != TokenType::LeftParen)
        return parseComparison();
    if (depth >= MaximumDepth) {
        fail(QStringLiteral("nested more than %1 levels deep").arg(MaximumDepth), token.position);
        return nullptr;
    }
    const qsizetype open = token.position;
    ++m_next;
    PredicateNode::Pointer inner = parseOr(depth + 1);
    if (!inner)
        return nullptr;
    if (current().type != TokenType::RightParen) {
        fail(QStringLiteral("missing \")\" for the \"(\" at position %1 before %2").arg(open).arg(describeCurrent()),
             current().position);
        return nullptr;
    }
    ++m_next;
    return inner;
}

PredicateNode::Pointer PredicateParser::parseComparison()
{
    PredicateNode::Operand left;
    if (!readOperand(left))
        return nullptr;
    const Token& op = current();
    if (op.type != TokenType::Operator) {
        fail(QStringLiteral("expected a comparison operator, found %1").arg(describeCurrent()), op.position);
        return nullptr;
    }
    ++m_next;
    PredicateNode::Operand right;
    if (!readOperand(right))
        return nullptr;
    // A comparison of two values tests nothing about a record; it is what a quote closed early by an unescaped
    // identifier produces ("id == 'x' OR '1'='1'"), so it is refused rather than left to match every record.
    if (!left.isKey && !right.isKey) {
        fail(QStringLiteral("comparison of two values without an attribute key"), op.position);
        return nullptr;
    }
    return PredicateNode::comparison(std::move(left), op.op, std::move(right), op.caseInsensitive);
}

bool PredicateParser::readOperand(PredicateNode::Operand& operand)
{
    const Token& token = current();
    if (token.type != TokenType::Key && token.type != TokenType::Value)
        return fail(QStringLiteral("expected a key or a value, found %1").arg(describeCurrent()), token.position);
    operand.isKey = token.type == TokenType::Key;
    operand.key = token.key;
    operand.value = token.value;
    ++m_next;
    return true;
}
