#include "RtfTokenizer.h"

#include <algorithm>
#include <limits>

namespace {

// Control words longer than this are malformed; the rest of their letters are consumed but not kept.
constexpr qsizetype MaxWordLength = 32;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

RtfToken RtfTokenizer::next()
{
    while (!atEnd() && (peek() == '\r' || peek() == '\n'))
        ++m_position;
    RtfToken token;
    if (atEnd())
        return token;
    switch (peek()) {
    case '{':
        ++m_position;
        token.type = RtfToken::Type::GroupStart;
        return token;
    case '}':
        ++m_position;
        token.type = RtfToken::Type::GroupEnd;
        return token;
    case '\\':
        ++m_position;
        return readControl();
    default:
        return readText();
    }
}

RtfToken RtfTokenizer::readControl()
{
    RtfToken token;
    if (atEnd())
        return token;
    const char c = peek();
    if (isLetter(c))
        return readControlWord();
    ++m_position;
    if (c == '\\' || c == '{' || c == '}') {
        token.type = RtfToken::Type::Text;
        token.data = m_input.sliced(m_position - 1, 1);
        return token;
    }
    if (c == '\r' || c == '\n') {
        // A backslash before a line break is an old spelling of \par.
        token.type = RtfToken::Type::ControlWord;
        token.name = "par";
        return token;
    }
    if (c == '\'') {
        const int high = atEnd() ? -1 : hexValue(peek());
        const int low = m_position + 1 < m_input.size() ? hexValue(m_input[m_position + 1]) : -1;
        if (high >= 0 && low >= 0) {
            m_position += 2;
            token.type = RtfToken::Type::HexByte;
            token.byte = static_cast<unsigned char>(high * 16 + low);
            return token;
        }
    }
    token.type = RtfToken::Type::ControlSymbol;
    token.symbol = c;
    return token;
}

RtfToken RtfTokenizer::readControlWord()
{
    RtfToken token;
    token.type = RtfToken::Type::ControlWord;
    const qsizetype start = m_position;
    while (!atEnd() && isLetter(peek()))
        ++m_position;
    token.name = m_input.sliced(start, std::min(m_position - start, MaxWordLength));

    const bool negative =
        !atEnd() && peek() == '-' && m_position + 1 < m_input.size() && isDigit(m_input[m_position + 1]);
    if (negative)
        ++m_position;
    if (!atEnd() && isDigit(peek())) {
        // Parameters are 32-bit; longer digit runs saturate instead of overflowing.
        qint64 value = 0;
        while (!atEnd() && isDigit(peek())) {
            value = std::min<qint64>(value * 10 + (peek() - '0'), std::numeric_limits<int>::max());
            ++m_position;
        }
        token.hasParameter = true;
        token.parameter = static_cast<int>(negative ? -value : value);
    }
    if (!atEnd() && peek() == ' ')
        ++m_position;
    if (token.name == "bin" && token.hasParameter)
        return readBinary(token.parameter);
    return token;
}

RtfToken RtfTokenizer::readBinary(int length)
{
    const qsizetype available = m_input.size() - m_position;
    const qsizetype count = std::clamp<qsizetype>(length, 0, available);
    RtfToken token;
    token.type = RtfToken::Type::Binary;
    token.data = m_input.sliced(m_position, count);
    m_position += count;
    return token;
}

RtfToken RtfTokenizer::readText()
{
    const qsizetype start = m_position;
    while (!atEnd()) {
        const char c = peek();
        if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n')
            break;
        ++m_position;
    }
    RtfToken token;
    token.type = RtfToken::Type::Text;
    token.data = m_input.sliced(start, m_position - start);
    return token;
}
