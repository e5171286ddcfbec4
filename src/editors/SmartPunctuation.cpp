#include "SmartPunctuation.h"

namespace {

// A quote after nothing, white space or an opening bracket or dash opens; anything else closes it.
bool opensAfter(QChar previous)
{
    return previous.isNull() || previous.isSpace() || previous == QChar::ParagraphSeparator ||
           QStringLiteral("([{<\u2014\u2013-").contains(previous) || previous == SmartPunctuation::LeftDoubleQuote ||
           previous == SmartPunctuation::LeftSingleQuote;
}

} // namespace

std::optional<SmartPunctuation::Replacement> SmartPunctuation::forTyped(const QString& typed, QChar previous)
{
    if (typed == QLatin1String("\""))
        return Replacement{0, QString(opensAfter(previous) ? LeftDoubleQuote : RightDoubleQuote)};
    if (typed == QLatin1String("'"))
        return Replacement{0, QString(opensAfter(previous) ? LeftSingleQuote : RightSingleQuote)};
    if (typed == QLatin1String("-") && previous == u'-')
        return Replacement{1, QString(EmDash)};
    return std::nullopt;
}
