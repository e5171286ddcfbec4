#pragma once

#include "PredicateNode.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <vector>

// Reads a predicate format text into a tree of PredicateNode. Grammar, loosest binding first:
//   or      := and (OR|or|'||' and)*
//   and     := not (AND|and|'&&' not)*
//   not     := (NOT|not|'!') not | primary
//   primary := '(' or ')' | TRUEPREDICATE | FALSEPREDICATE | operand operator operand
// Texts are bounded in length and nesting, so that a hostile text costs an error, never the stack.
class PredicateParser {
public:
    static constexpr qsizetype MaximumLength = 1024 * 1024;
    static constexpr int MaximumDepth = 200;

    PredicateParser(const QString& format, const QVariantList& arguments);

    // The parsed condition; null for a blank text, or null with errorString() set for a malformed one.
    PredicateNode::Pointer parse();
    const QString& errorString() const { return m_error; }

private:
    enum class TokenType { LeftParen, RightParen, And, Or, Not, True, False, Operator, Key, Value, End };

    struct Token {
        TokenType type = TokenType::End;
        qsizetype position = 0;
        QString key;
        QVariant value;
        PredicateNode::Operator op = PredicateNode::Operator::Equal;
        bool caseInsensitive = false;
    };

    bool tokenize();
    bool readQuoted(qsizetype& i);
    bool readNumber(qsizetype& i);
    bool readWord(qsizetype& i);
    bool readPlaceholder(qsizetype& i);
    bool readSymbol(qsizetype& i);
    bool readModifiers(qsizetype& i, Token& token);
    bool takeArgument(qsizetype position, QVariant& value);
    void addToken(TokenType type, qsizetype position);

    PredicateNode::Pointer parseOr(int depth);
    PredicateNode::Pointer parseAnd(int depth);
    PredicateNode::Pointer parseNot(int depth);
    PredicateNode::Pointer parsePrimary(int depth);
    PredicateNode::Pointer parseComparison();
    bool readOperand(PredicateNode::Operand& operand);

    const Token& current() const { return m_tokens[m_next]; }
    bool fail(const QString& message, qsizetype position);
    QString describeCurrent() const;

    QString m_text;
    QVariantList m_arguments;
    int m_nextArgument = 0;
    std::vector<Token> m_tokens;
    size_t m_next = 0;
    QString m_error;
};
