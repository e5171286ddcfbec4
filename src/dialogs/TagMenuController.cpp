#include "TagMenuController.h"

#include "DialogMenu.h"
#include "core/CardProps.h"
#include "core/ProjectItem.h"
#include "platform/SymbolIcons.h"

namespace {

struct TagRow {
    const char* id;
    const char* title;
    const char* symbol;
};

constexpr TagRow TagTable[] = {
    {"$clear", "None", "xmark"},
    {"inprogress", "In Progress", "rays"},
    {"done", "Done", "checkmark.seal.fill"},
    {"warning", "Problem", "exclamationmark.triangle.fill"},
    {"question", "Question", "questionmark.diamond.fill"},
    {"touchup", "Touch Up", "paintbrush"},
    {"sent", "Sent", "paperplane.fill"},
    {"draft-1", "1st Draft", "1.circle.fill"},
    {"draft-2", "2nd Draft", "2.circle.fill"},
    {"draft-3", "3rd Draft", "3.circle.fill"},
    {"draft-4", "4th Draft", "4.circle.fill"},
    {"draft-5", "5th Draft", "5.circle.fill"},
    {"draft-6", "6th Draft", "6.circle.fill"},
    {"draft-7", "7th Draft", "7.circle.fill"},
    {"draft-8", "8th Draft", "8.circle.fill"},
    {"draft-9", "9th Draft", "9.circle.fill"},
    {"draft-10", "10th Draft", "10.circle.fill"},
};

// Built once on first use; function-local statics are initialised thread-safely.
const QHash<QString, QString>& titles()
{
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> result;
        for (const TagRow& row : TagTable)
            result.insert(QString::fromUtf8(row.id), QString::fromUtf8(row.title));
        return result;
    }();
    return map;
}

const QHash<QString, QString>& symbols()
{
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> result;
        for (const TagRow& row : TagTable)
            result.insert(QString::fromUtf8(row.id), QString::fromUtf8(row.symbol));
        return result;
    }();
    return map;
}

QStringList idsBetween(int first, int last)
{
    return TagMenuController::tagIds().mid(first, last - first + 1);
}

} // namespace

const QStringList& TagMenuController::tagIds()
{
    static const QStringList ids = [] {
        QStringList result;
        for (const TagRow& row : TagTable)
            result.append(QString::fromUtf8(row.id));
        return result;
    }();
    return ids;
}

QString TagMenuController::getTag(const QString& tagId)
{
    return symbols().value(tagId);
}

QString TagMenuController::getTitle(const QString& tagId)
{
    return titles().value(tagId);
}

QStringList TagMenuController::offeredTags(qint64 itemType, const CardProps* props)
{
    if (!props)
        return idsBetween(1, 11);
    switch (props->propForIntCardType(itemType).cardType()) {
    case CardProp::Issue:
        return idsBetween(0, 2);
    case CardProp::Supporting:
        return idsBetween(0, 6);
    default:
        return idsBetween(0, 11);
    }
}

QList<DialogMenuItem> TagMenuController::menuItems(qint64 itemType, const CardProps* props,
                                                   const TagSelected& tagSelected)
{
    QList<DialogMenuItem> items;
    for (const QString& tagId : offeredTags(itemType, props)) {
        // The row's own id is bound here; the tag the menu passes along is not used.
        items.append(DialogMenuItem(getTitle(tagId), SymbolIcons::icon(getTag(tagId)), std::nullopt,
                                    [tagSelected, tagId](std::optional<QString>) {
                                        if (tagSelected)
                                            tagSelected(tagId);
                                    }));
    }
    return items;
}

void TagMenuController::applyTag(ProjectItem* item, const QString& tagId)
{
    if (!item)
        return;
    item->setTag(tagId == ClearTag ? QString() : tagId);
}

void TagMenuController::showMenu(qint64 itemType, const QString& title, const CardProps* props,
                                 ViewController* fromViewController, TagSelected tagSelected, Completion completion)
{
    m_tagSelected = std::move(tagSelected);
    DialogMenu().show(title, menuItems(itemType, props, m_tagSelected), fromViewController, std::move(completion));
}
