#include "CardBoardLoader.h"

#include "core/CardProps.h"
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "dialogs/TagMenuController.h"

#include <QSet>

CardBoardLoader::Result CardBoardLoader::loadCards(const Request& request, QWidget* presenter)
{
    const bool searching = !request.query.trimmed().isEmpty();
    Result result;
    // The query fragment admits every folder, so the folders stay for the walk below.
    result.cards = DbHelpers::getFolderItems(request.context, request.projectId, request.folderId, CardFilter::AllCards,
                                             {}, searching ? request.query : QString());
    if (!searching && normalizeDisplayOrder(result.cards))
        DbHelpers::saveManagedObjectContext(request.context, presenter);
    if (request.filter == CardFilter::AllCards && !searching) {
        result.filteredCards = result.cards;
        return result;
    }
    const std::optional<QDateTime> since = DbHelpers::dateForRecentFilter(request.filter);
    // Which children pass the filter comes from the store in one listing; the walk keeps the folder's order.
    QSet<QString> passing;
    if (request.filter != CardFilter::AllCards || since) {
        for (ProjectItem* item : DbHelpers::getFolderItems(request.context, request.projectId, request.folderId,
                                                           request.filter, request.filterParm, {}, since))
            passing.insert(item->uniqueIdentifier());
    }
    const bool filtering = request.filter != CardFilter::AllCards || since;
    for (ProjectItem* item : result.cards) {
        const bool folder = item->itemType() == ProjectItemTypes::Folder;
        if (!folder) {
            if (!filtering || passing.contains(item->uniqueIdentifier()))
                result.filteredCards.append(item);
            continue;
        }
        if (DbHelpers::folderHasItems(request.context, request.projectId, item->uniqueIdentifier(), request.filter,
                                      request.filterParm, request.query, since))
            result.filteredCards.append(item);
    }
    return result;
}

bool CardBoardLoader::normalizeDisplayOrder(const QList<ProjectItem*>& cards)
{
    bool inSequence = true;
    for (qsizetype i = 0; i < cards.size() && inSequence; ++i)
        inSequence = cards.at(i)->displayOrder() == i + 1;
    if (inSequence)
        return false;
    for (qsizetype i = 0; i < cards.size(); ++i)
        cards.at(i)->setDisplayOrder(i + 1);
    return true;
}

bool CardBoardLoader::showsHeader(qint64 filter)
{
    return filter != CardFilter::AllCards;
}

QString CardBoardLoader::headerText(qint64 filter, const QString& filterParm, const CardProps& props)
{
    switch (filter) {
    case CardFilter::AllCards:
        return {};
    case CardFilter::OpenIssues:
        return QStringLiteral("Open Issue Cards");
    case CardFilter::WithNotes:
        return QStringLiteral("Cards with Notes");
    case CardFilter::Tagged: {
        const QString title = TagMenuController::getTitle(filterParm);
        return title.isNull() ? QString() : QStringLiteral("Cards with ") + title + QStringLiteral(" tag");
    }
    case CardFilter::Last24Hours:
        return QStringLiteral("Modified in the last 24 hours");
    case CardFilter::Last7Days:
        return QStringLiteral("Modified in the last 7 days");
    case CardFilter::Last30Days:
        return QStringLiteral("Modified in the last 30 days");
    default:
        return props.propForIntCardType(filter).pluralLabel();
    }
}

QString CardBoardLoader::headerSymbol(qint64 filter, const QString& filterParm)
{
    switch (filter) {
    case CardFilter::OpenIssues:
        return QStringLiteral("exclamationmark.triangle");
    case CardFilter::WithNotes:
        return QStringLiteral("text.bubble");
    case CardFilter::Tagged:
        return TagMenuController::getTag(filterParm);
    case CardFilter::Last24Hours:
    case CardFilter::Last7Days:
    case CardFilter::Last30Days:
        return QStringLiteral("clock");
    default:
        return {};
    }
}

QString CardBoardLoader::emptyStateText(qint64 filter, bool searching)
{
    if (searching)
        return NoSearchMatch;
    if (filter != CardFilter::AllCards)
        return NoFilterMatch;
    return AddCardPrefix + AddCardSuffix;
}

bool CardBoardLoader::currentFolderExists(ManagedObjectContext* context, const QString& projectId,
                                          const QString& folderId)
{
    if (!context)
        return false;
    if (folderId == ItemIds::Top)
        return DbHelpers::getProject(context, projectId) != nullptr;
    const ProjectItem* folder = DbHelpers::getItem(context, folderId);
    return folder && folder->projectId() == projectId;
}
