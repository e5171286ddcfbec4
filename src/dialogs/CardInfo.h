#pragma once

#include "dialogs/iCloudAwareDialog.h"

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class ManagedObjectContext;
class ProjectItem;
class ViewController;

// Shows what a card or a folder amounts to: for a folder its cards and Story cards at any depth, the pages,
// words and characters of the Story cards (or of a Story card itself), and when it was last modified. Writes
// nothing.
class CardInfo : public iCloudAwareDialog {
public:
    static inline const QString TotalCardsLine = QStringLiteral("Total cards: %1\r\n\r\n");
    static inline const QString StoryCardsLine = QStringLiteral("Story cards: %1\r\n");
    static inline const QString TotalPagesLine = QStringLiteral("Total pages: %1\r\n");
    static inline const QString TotalWordsLine = QStringLiteral("Total words: %1\r\n");
    static inline const QString TotalCharactersLine = QStringLiteral("Total characters: %1\r\n\r\n");
    static inline const QString LastModifiedLines = QStringLiteral("Last modified:\r\n%1 (%2)");

    static std::shared_ptr<CardInfo> create(ViewController* controller, ManagedObjectContext* context);

    // The information on a stored item; the item's own identifier stands for the folder.
    void showInfo(ProjectItem* item);
    // The information on any folder (the board's root "_top" included) or card.
    void showInfo(const QString& projectId, const QString& folderId, qint64 itemType, const QString& title,
                  qint64 wordCount, qint64 charCount, const std::optional<QDateTime>& lastModified);

    // The text shown, with the present moment as now.
    QString infoText(const QString& projectId, const QString& folderId, qint64 itemType, qint64 wordCount,
                     qint64 charCount, const std::optional<QDateTime>& lastModified, const QDateTime& now) const;
    // Manuscript pages for a word count, rounded up; a setting below 1 counts as the default page size.
    static qint64 pageCount(qint64 words, qint64 wordsPerPage);

private:
    CardInfo(ViewController* controller, ManagedObjectContext* context);

    QPointer<ViewController> m_parentController;
    QPointer<ManagedObjectContext> m_managedObjectContext;
};
