#include "Indexer.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QStringView>
#include <QTextBoundaryFinder>

using namespace Qt::StringLiterals;

namespace {

constexpr char16_t EmDash = 0x2014;

const QStringList& stopWordList()
{
    // clang-format off
    static const QStringList words = {
        u"a"_s, u"about"_s, u"above"_s, u"after"_s, u"again"_s, u"against"_s, u"all"_s, u"am"_s, u"an"_s, u"and"_s,
        u"any"_s, u"are"_s, u"aren't"_s, u"as"_s, u"at"_s, u"be"_s, u"because"_s, u"been"_s, u"before"_s, u"being"_s,
        u"below"_s, u"between"_s, u"both"_s, u"but"_s, u"by"_s, u"can"_s, u"couldn't"_s, u"did"_s, u"didn't"_s,
        u"do"_s, u"does"_s, u"doesn't"_s, u"doing"_s, u"don't"_s, u"down"_s, u"during"_s, u"each"_s, u"few"_s,
        u"for"_s, u"from"_s, u"further"_s, u"had"_s, u"hadn't"_s, u"has"_s, u"hasn't"_s, u"have"_s, u"haven't"_s,
        u"having"_s, u"he"_s, u"her"_s, u"here"_s, u"hers"_s, u"herself"_s, u"him"_s, u"himself"_s, u"his"_s,
        u"how"_s, u"i"_s, u"if"_s, u"in"_s, u"into"_s, u"is"_s, u"isn't"_s, u"it"_s, u"it's"_s, u"its"_s, u"itself"_s,
        u"just"_s, u"me"_s, u"mightn't"_s, u"more"_s, u"most"_s, u"mustn't"_s, u"my"_s, u"myself"_s, u"needn't"_s,
        u"no"_s, u"nor"_s, u"not"_s, u"now"_s, u"of"_s, u"off"_s, u"on"_s, u"once"_s, u"only"_s, u"or"_s, u"other"_s,
        u"our"_s, u"ours"_s, u"ourselves"_s, u"out"_s, u"over"_s, u"own"_s, u"same"_s, u"shan"_s, u"shan't"_s,
        u"she"_s, u"she's"_s, u"should"_s, u"should've"_s, u"shouldn"_s, u"shouldn't"_s, u"so"_s, u"some"_s,
        u"such"_s, u"than"_s, u"that"_s, u"that'll"_s, u"the"_s, u"their"_s, u"theirs"_s, u"them"_s, u"themselves"_s,
        u"then"_s, u"there"_s, u"these"_s, u"they"_s, u"this"_s, u"those"_s, u"through"_s, u"to"_s, u"too"_s,
        u"under"_s, u"until"_s, u"up"_s, u"very"_s, u"was"_s, u"wasn't"_s, u"we"_s, u"were"_s, u"weren't"_s,
        u"what"_s, u"when"_s, u"where"_s, u"which"_s, u"while"_s, u"who"_s, u"whom"_s, u"why"_s, u"will"_s, u"with"_s,
        u"won't"_s, u"wouldn't"_s, u"you"_s, u"you'd"_s, u"you'll"_s, u"you're"_s, u"you've"_s, u"your"_s, u"yours"_s,
        u"yourself"_s, u"yourselves"_s, u"could"_s, u"he'd"_s, u"he'll"_s, u"he's"_s, u"here's"_s, u"how's"_s,
        u"i'd"_s, u"i'll"_s, u"i'm"_s, u"i've"_s, u"let's"_s, u"ought"_s, u"she'd"_s, u"she'll"_s, u"that's"_s,
        u"there's"_s, u"they'd"_s, u"they'll"_s, u"they're"_s, u"they've"_s, u"we'd"_s, u"we'll"_s, u"we're"_s,
        u"we've"_s, u"what's"_s, u"when's"_s, u"where's"_s, u"who's"_s, u"why's"_s, u"would"_s,
    };
    // clang-format on
    return words;
}

const QSet<QString>& stopWordSet()
{
    static const QSet<QString> set(stopWordList().cbegin(), stopWordList().cend());
    return set;
}

// Words shorter than two user-perceived characters are never terms. Only text beyond Latin needs the
// boundary finder: below U+0300 there are no combining marks and no surrogates, so units are characters.
bool hasTwoCharacters(QStringView word)
{
    if (word.size() < 2)
        return false;
    const bool simple = std::all_of(word.begin(), word.end(), [](QChar unit) { return unit.unicode() < 0x300; });
    if (simple)
        return true;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, word.data(), int(word.size()));
    return finder.toNextBoundary() >= 0 && finder.toNextBoundary() >= 0;
}

// Lower-casing with the locale's own rules matters only where they differ from the default ones.
bool localeLowerCaseIsSpecial(const QLocale& locale)
{
    const QLocale::Language language = locale.language();
    return language == QLocale::Turkish || language == QLocale::Azerbaijani || language == QLocale::Lithuanian;
}

QString lowerCased(const QString& word, const QLocale& locale, bool special)
{
    return special ? locale.toLower(word) : word.toLower();
}

bool isPunctuationAt(QStringView text, qsizetype index)
{
    return QChar::isPunct(text.at(index).unicode());
}

// The word without punctuation at either end; empty when nothing else is left.
QStringView stripPunctuation(QStringView word)
{
    qsizetype start = 0;
    qsizetype end = word.size();
    while (start < end && isPunctuationAt(word, start))
        ++start;
    while (end > start && isPunctuationAt(word, end - 1))
        --end;
    return word.mid(start, end - start);
}

class TermList {
public:
    void add(QStringView candidate)
    {
        if (candidate.isEmpty())
            return;
        const QString term = candidate.toString();
        if (stopWordSet().contains(term) || m_seen.contains(term))
            return;
        m_seen.insert(term);
        m_text.append(u' ');
        m_text.append(term);
    }

    QString text() const { return m_text.isEmpty() ? QStringLiteral(" ") : m_text; }

private:
    QSet<QString> m_seen;
    QString m_text;
};

void addWord(QStringView word, TermList& terms, const QLocale& locale, bool special)
{
    if (!hasTwoCharacters(word))
        return;
    const QString lower = lowerCased(word.toString(), locale, special);
    const QStringView stripped = stripPunctuation(lower);
    if (stripped.isEmpty())
        return;
    if (!stripped.contains(QChar(EmDash))) {
        terms.add(stripped);
        return;
    }
    for (const QStringView piece : stripped.split(QChar(EmDash), Qt::SkipEmptyParts))
        terms.add(piece);
}

template <class Visit> void forEachWord(const QString& text, Visit visit)
{
    qsizetype start = -1;
    for (qsizetype index = 0; index < text.size(); ++index) {
        const bool space = text.at(index).isSpace();
        if (space && start >= 0) {
            visit(QStringView(text).mid(start, index - start));
            start = -1;
        } else if (!space && start < 0) {
            start = index;
        }
    }
    if (start >= 0)
        visit(QStringView(text).mid(start));
}

QStringList queryWords(const QString& query)
{
    QStringList words;
    forEachWord(query, [&](QStringView word) { words.append(word.toString()); });
    return words;
}

// Inside a double-quoted literal of a predicate text the backslash and both quotes are escaped, so the
// literal always ends where the builder ends it.
QString quotedLiteral(const QString& text)
{
    QString quoted;
    quoted.reserve(text.size() + 4);
    quoted.append(u'"');
    for (const QChar unit : text) {
        if (unit == u'\\' || unit == u'"' || unit == u'\'')
            quoted.append(u'\\');
        quoted.append(unit);
    }
    quoted.append(u'"');
    return quoted;
}

} // namespace

Indexer::Indexer() : m_enStopWords(stopWordList())
{
}

const QStringList& Indexer::stopWords()
{
    return stopWordList();
}

QString Indexer::terms(const QStringList& from)
{
    return termsKeeping(from, QString());
}

QString Indexer::termsKeeping(const QStringList& from, const QString& kept)
{
    const QLocale locale;
    const bool special = localeLowerCaseIsSpecial(locale);
    TermList terms;
    for (const QString& text : from)
        forEachWord(text, [&](QStringView word) { addWord(word, terms, locale, special); });
    // Terms already made are taken as they stand: made again from their words, short em-dash pieces would go.
    forEachWord(kept, [&](QStringView term) { terms.add(term); });
    return terms.text();
}

QString Indexer::predicate(const QString& attribute, const QString& query)
{
    const QLocale locale;
    QStringList clauses;
    for (const QString& word : queryWords(query))
        clauses.append(attribute + QStringLiteral(" contains ") + quotedLiteral(u' ' + locale.toLower(word)));
    return clauses.join(QStringLiteral(" and "));
}

QString Indexer::regex(const QString& query)
{
    QStringList words = queryWords(query);
    for (QString& word : words)
        word = QRegularExpression::escape(word);
    return QStringLiteral("(?:^|\\s|\\p{P})(") + words.join(u'|') + u')';
}
