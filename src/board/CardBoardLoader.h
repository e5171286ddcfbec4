#pragma once

#include <QList>
#include <QString>
#include <optional>

class CardProps;
class ManagedObjectContext;
class ProjectItem;
class QWidget;

// The board's content pipeline: the folder's items in display order, narrowed by the filter and the search,
// with folders that hold nothing passing left out; and the texts the board shows about the result.
class CardBoardLoader {
public:
    static inline const QString FilterMenuTitle = QStringLiteral("Filter Cards");
    static inline const QString NoSearchMatch = QStringLiteral("No cards match your search");
    static inline const QString NoFilterMatch = QStringLiteral("No cards match your selected filter");
    static inline const QString AddCardPrefix = QStringLiteral("Click ");
    static inline const QString AddCardSuffix = QStringLiteral(" to add a new card");
    static constexpr int HeaderHeight = 44;

    struct Request {
        ManagedObjectContext* context = nullptr;
        QString projectId;
        QString folderId;
        qint64 filter = 0;
        QString filterParm;
        // The search as a predicate over the search terms; empty with no search.
        QString query;
    };

    struct Result {
        // Every child of the folder (with a search: those matching it), in display order.
        QList<ProjectItem*> cards;
        // What the board shows; equal to cards with all cards and no search.
        QList<ProjectItem*> filteredCards;
    };

    // Loads the folder. Without a search the folder's display orders are renumbered 1..n when they are out
    // of sequence and saved, a failed save warning over presenter.
    static Result loadCards(const Request& request, QWidget* presenter = nullptr);
    // Renumbers when out of sequence; whether it changed anything.
    static bool normalizeDisplayOrder(const QList<ProjectItem*>& cards);

    // The header line naming the active filter; empty for all cards or an unknown tag.
    static QString headerText(qint64 filter, const QString& filterParm, const CardProps& props);
    // The symbol or type image name the header shows beside its text.
    static QString headerSymbol(qint64 filter, const QString& filterParm);
    // Whether the header shows at all.
    static bool showsHeader(qint64 filter);
    // The empty-state line; the all-cards, no-search text is AddCardPrefix + symbol + AddCardSuffix.
    static QString emptyStateText(qint64 filter, bool searching);
    // Whether the project, or at the root the folder, is still in the store.
    static bool currentFolderExists(ManagedObjectContext* context, const QString& projectId, const QString& folderId);
};
