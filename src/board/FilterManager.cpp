#include "FilterManager.h"

#include "core/DbHelpers.h"
#include "core/StoreConstants.h"

#include <QDateTime>

namespace {

struct FilterRow {
    FilterManager::Filters filter;
    qint64 code;
    const char* title;
};

// Sidebar rows in raw-value order; the card-type codes are item types, so their order differs.
constexpr FilterRow Rows[] = {
    {FilterManager::Filters::allCards, CardFilter::AllCards, "All Cards"},
    {FilterManager::Filters::storyCards, ProjectItemTypes::Story, "Story"},
    {FilterManager::Filters::locationCards, ProjectItemTypes::Location, "Location"},
    {FilterManager::Filters::peopleCards, ProjectItemTypes::Person, "People"},
    {FilterManager::Filters::eventCards, ProjectItemTypes::Event, "Events"},
    {FilterManager::Filters::thingCards, ProjectItemTypes::Thing, "Thing"},
    {FilterManager::Filters::ideaCards, ProjectItemTypes::Idea, "Idea"},
    {FilterManager::Filters::questionCards, ProjectItemTypes::Question, "Question"},
    {FilterManager::Filters::reminderCards, ProjectItemTypes::Reminder, "Reminder"},
    {FilterManager::Filters::recent24Hours, CardFilter::Last24Hours, "Last 24 Hours"},
    {FilterManager::Filters::recent7Days, CardFilter::Last7Days, "Last 7 Days"},
    {FilterManager::Filters::recent30Days, CardFilter::Last30Days, "Last 30 Days"},
    {FilterManager::Filters::openIssueCards, CardFilter::OpenIssues, "Open Issue Cards"},
    {FilterManager::Filters::cardsWithNotes, CardFilter::WithNotes, "Cards with Notes"},
    {FilterManager::Filters::cardsWithTag, CardFilter::Tagged, "Cards with Tag..."},
};

const FilterRow& rowFor(FilterManager::Filters filter)
{
    return Rows[int(filter)];
}

} // namespace

FilterManager::FilterManager(ManagedObjectContext* managedObjectContext, const QString& projectId)
    : m_managedObjectContext(managedObjectContext), m_projectId(projectId), m_allCards(CardFilter::AllCards)
{
}

QList<FilterManager::Filters> FilterManager::allCases()
{
    QList<Filters> cases;
    for (const FilterRow& row : Rows)
        cases.append(row.filter);
    return cases;
}

qint64 FilterManager::boardFilterCode(Filters filter)
{
    return rowFor(filter).code;
}

std::optional<FilterManager::Filters> FilterManager::filterForBoardCode(qint64 code)
{
    for (const FilterRow& row : Rows) {
        if (row.code == code)
            return row.filter;
    }
    return std::nullopt;
}

QString FilterManager::title(Filters filter)
{
    return QString::fromUtf8(rowFor(filter).title);
}

quint64 FilterManager::count(qint64 itemType, const QString& predicate, const std::optional<QDateTime>& startDate) const
{
    return DbHelpers::getProjectItemsCount(m_managedObjectContext, m_projectId, itemType, predicate, {}, startDate);
}

FilterManager::Counts FilterManager::cardTypeCounts() const
{
    Counts counts;
    for (Filters filter : allCases())
        counts.insert(filter, 0);
    counts[Filters::allCards] = count(m_allCards, {}, std::nullopt);
    for (Filters filter : {Filters::storyCards, Filters::locationCards, Filters::peopleCards, Filters::eventCards,
                           Filters::thingCards, Filters::ideaCards, Filters::questionCards, Filters::reminderCards})
        counts[filter] = count(boardFilterCode(filter), {}, std::nullopt);
    return counts;
}

FilterManager::Counts FilterManager::recentCounts() const
{
    const QDateTime now = QDateTime::currentDateTime();
    Counts counts;
    counts.insert(Filters::recent24Hours, count(m_allCards, {}, now.addSecs(-24 * 3600)));
    counts.insert(Filters::recent7Days, count(m_allCards, {}, now.addDays(-7)));
    counts.insert(Filters::recent30Days, count(m_allCards, {}, now.addDays(-30)));
    return counts;
}

FilterManager::Counts FilterManager::otherFilterCounts() const
{
    Counts counts;
    counts.insert(Filters::cardsWithNotes, count(m_allCards, NotesPredicate, std::nullopt));
    const QString openIssues = OpenIssuePredicateFormat.arg(ProjectItemTypes::Question)
                                   .arg(ProjectItemTypes::Reminder)
                                   .arg(ProjectItemTypes::Idea);
    counts.insert(Filters::openIssueCards, count(m_allCards, openIssues, std::nullopt));
    return counts;
}
