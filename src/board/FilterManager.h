#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

#include <QDateTime>

class ManagedObjectContext;

// Counts the open project's cards for each sidebar filter. Counts cover every folder of the project and
// never count folders themselves.
class FilterManager {
public:
    // The sidebar's filters, in the order of their raw values.
    enum class Filters : int {
        allCards = 0,
        storyCards = 1,
        locationCards = 2,
        peopleCards = 3,
        eventCards = 4,
        thingCards = 5,
        ideaCards = 6,
        questionCards = 7,
        reminderCards = 8,
        recent24Hours = 9,
        recent7Days = 10,
        recent30Days = 11,
        openIssueCards = 12,
        cardsWithNotes = 13,
        cardsWithTag = 14,
    };
    using Counts = QHash<Filters, quint64>;

    static inline const QString NotesPredicate = QStringLiteral("notes != nil AND notes != ''");
    static inline const QString OpenIssuePredicateFormat =
        QStringLiteral("(((itemType == %1 or itemType == %2 or itemType == %3) and (tag == nil or tag != 'done')))");

    FilterManager(ManagedObjectContext* managedObjectContext, const QString& projectId);

    static QList<Filters> allCases();
    // The board filter code a sidebar row stands for; cardsWithTag answers the tagged code.
    static qint64 boardFilterCode(Filters filter);
    // The sidebar row of a board filter code; none for a code no row shows.
    static std::optional<Filters> filterForBoardCode(qint64 code);
    static QString title(Filters filter);

    ManagedObjectContext* managedObjectContext() const { return m_managedObjectContext; }
    QString projectId() const { return m_projectId; }
    qint64 allCards() const { return m_allCards; }

    // Every filter first at 0, then the nine card-type rows.
    Counts cardTypeCounts() const;
    Counts recentCounts() const;
    // Cards with notes and open issues; the tag row gets no count.
    Counts otherFilterCounts() const;

private:
    quint64 count(qint64 itemType, const QString& predicate, const std::optional<QDateTime>& startDate) const;

    ManagedObjectContext* m_managedObjectContext;
    QString m_projectId;
    qint64 m_allCards;
};

inline size_t qHash(FilterManager::Filters filter, size_t seed = 0)
{
    return ::qHash(int(filter), seed);
}
