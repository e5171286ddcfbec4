#include "CardInfo.h"

#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/ProjectItem.h"
#include "core/SettingsHelper.h"
#include "core/StoreConstants.h"
#include "dialogs/DialogInfo.h"
#include "dialogs/RelativeDateFormatter.h"
#include "dialogs/SEKDialogInfo.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"

std::shared_ptr<CardInfo> CardInfo::create(ViewController* controller, ManagedObjectContext* context)
{
    return std::shared_ptr<CardInfo>(new CardInfo(controller, context));
}

CardInfo::CardInfo(ViewController* controller, ManagedObjectContext* context)
    : m_parentController(controller), m_managedObjectContext(context)
{
}

qint64 CardInfo::pageCount(qint64 words, qint64 wordsPerPage)
{
    // A page of no words would divide by zero, and a negative one would count pages backwards.
    const qint64 perPage = wordsPerPage < 1 ? SettingsHelper::DefaultWordsPerPage : wordsPerPage;
    if (words <= 0)
        return 0;
    return (words + perPage - 1) / perPage;
}

void CardInfo::showInfo(ProjectItem* item)
{
    if (!item)
        return;
    const QDateTime modified = item->lastModified();
    showInfo(item->projectId(), item->uniqueIdentifier(), item->itemType(), item->title(), item->wordCount(),
             item->charCount(), modified.isValid() ? std::optional<QDateTime>(modified) : std::nullopt);
}

void CardInfo::showInfo(const QString& projectId, const QString& folderId, qint64 itemType, const QString& title,
                        qint64 wordCount, qint64 charCount, const std::optional<QDateTime>& lastModified)
{
    setupObservers();
    const QString text =
        infoText(projectId, folderId, itemType, wordCount, charCount, lastModified, QDateTime::currentDateTime());
    if (Helpers::iPadOrMac())
        DialogInfo().show(title, text, m_parentController);
    else
        SEKDialogInfo().show(title, text);
}

QString CardInfo::infoText(const QString& projectId, const QString& folderId, qint64 itemType, qint64 wordCount,
                           qint64 charCount, const std::optional<QDateTime>& lastModified, const QDateTime& now) const
{
    ManagedObjectContext* context = m_managedObjectContext;
    const CardStats stats = context ? DbHelpers::getCardStats(context, projectId, folderId) : CardStats();
    QString text;
    if (itemType == ProjectItemTypes::Folder)
        text += TotalCardsLine.arg(stats.totalCardCount);
    if (stats.manuscriptCardCount >= 1)
        text += StoryCardsLine.arg(stats.manuscriptCardCount);
    if (itemType == ProjectItemTypes::Story || stats.manuscriptCardCount >= 1) {
        const bool story = itemType == ProjectItemTypes::Story;
        const qint64 words = story ? wordCount : stats.wordCount;
        const qint64 characters = story ? charCount : stats.charCount;
        const qint64 perPage =
            context ? SettingsHelper::getWordsPerPage(context, projectId) : SettingsHelper::DefaultWordsPerPage;
        text += TotalPagesLine.arg(pageCount(words, perPage));
        text += TotalWordsLine.arg(words);
        text += TotalCharactersLine.arg(characters);
    }
    if (lastModified && lastModified->isValid()) {
        text += LastModifiedLines.arg(RelativeDateFormatter::mediumDateShortTime(*lastModified),
                                      RelativeDateFormatter::localizedString(*lastModified, now));
    }
    return text;
}
