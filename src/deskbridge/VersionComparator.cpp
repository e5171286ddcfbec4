#include "VersionComparator.h"

#include <QStringList>

namespace Deskbridge {

namespace {

enum class Kind { Number, Letters, Separator };

struct Part {
    Kind kind;
    QString text;
};

Kind kindOf(QChar c)
{
    if (c.isDigit())
        return Kind::Number;
    if (c.isLetter())
        return Kind::Letters;
    return Kind::Separator;
}

QList<Part> split(const QString& version)
{
    QList<Part> parts;
    for (QChar c : version) {
        const Kind kind = kindOf(c);
        if (!parts.isEmpty() && parts.last().kind == kind && kind != Kind::Separator)
            parts.last().text.append(c);
        else
            parts.append({kind, QString(c)});
    }
    return parts;
}

int compareNumbers(QString a, QString b)
{
    // By value, digit by digit: a version number may be longer than any integer type.
    while (a.size() > 1 && a.startsWith(u'0'))
        a.remove(0, 1);
    while (b.size() > 1 && b.startsWith(u'0'))
        b.remove(0, 1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

int compareParts(const Part& a, const Part& b)
{
    if (a.kind == b.kind) {
        if (a.kind == Kind::Number)
            return sign(compareNumbers(a.text, b.text));
        if (a.kind == Kind::Letters)
            return sign(a.text.compare(b.text, Qt::CaseInsensitive));
        return 0;
    }
    // A release number outranks a pre-release tag ("1.0.1" after "1.0b"); a separator counts as a number.
    if (a.kind == Kind::Letters)
        return -1;
    if (b.kind == Kind::Letters)
        return 1;
    return a.kind == Kind::Number ? 1 : -1;
}

// What the longer version's extra parts say: a tag ("b1") makes it older, a number above zero newer.
int compareTail(const QList<Part>& longer, qsizetype from)
{
    for (qsizetype i = from; i < longer.size(); ++i) {
        if (longer[i].kind == Kind::Letters)
            return -1;
        if (longer[i].kind == Kind::Number && compareNumbers(longer[i].text, QStringLiteral("0")) != 0)
            return 1;
    }
    return 0;
}

} // namespace

int VersionComparator::compare(const QString& a, const QString& b)
{
    const QList<Part> left = split(a.trimmed());
    const QList<Part> right = split(b.trimmed());
    const qsizetype common = qMin(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (const int order = compareParts(left[i], right[i]))
            return order;
    }
    if (left.size() > right.size())
        return compareTail(left, common);
    if (right.size() > left.size())
        return -compareTail(right, common);
    return 0;
}

} // namespace Deskbridge
