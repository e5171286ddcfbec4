#pragma once

#include <QString>
#include <QStringList>

// Reduces card texts to the search-term string stored with each card, and turns a search query into
// the matching store condition and the pattern that highlights its words.
class Indexer {
public:
    Indexer();

    // The English stop words, lower case with the ASCII apostrophe, in their fixed order.
    const QStringList& enStopWords() const { return m_enStopWords; }
    static const QStringList& stopWords();

    // A blank followed by the distinct lower-case terms of the texts, joined by single blanks.
    QString termsFrom(const QStringList& texts) const { return terms(texts); }
    static QString terms(const QStringList& from);
    // The term string of the texts followed by every term of the term string kept that it lacks, unchanged: the
    // terms of a card whose body no one can read stay, whatever else it is now found by.
    static QString termsKeeping(const QStringList& from, const QString& kept);

    // The condition text that every query word begins a term of the attribute: clauses such as
    // terms contains " rose", joined by " and ". Each word is escaped inside its quoted literal, so no
    // query can change the condition's meaning. The empty text for a query without words.
    static QString predicateFor(const QString& attribute, const QString& query) { return predicate(attribute, query); }
    static QString predicate(const QString& attribute, const QString& query);

    // A pattern whose group 1 matches a query word at the start of the text, after white space or after
    // punctuation. Words are escaped, so they match literally.
    static QString regexWith(const QString& query) { return regex(query); }
    static QString regex(const QString& query);

private:
    QStringList m_enStopWords;
};
