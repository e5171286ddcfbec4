#pragma once

#include <QList>
#include <QString>
#include <functional>

class CardProps;
class ManagedObjectContext;
class ProjectItem;
class ViewController;

// A card the writer picked in the peek panel, with what its editor needs: whoever opens cards opens it
// as the secondary card, by its format, over the panel.
struct PeekCardRequest {
    // The panel; the editor is presented over it.
    ViewController* presenter = nullptr;
    ManagedObjectContext* context = nullptr;
    ProjectItem* card = nullptr;
    // The other cards of the card's section, in the order shown; the card among them.
    QList<ProjectItem*> cards;
    CardProps* cardProps = nullptr;
    bool filtering = false;
    // The filter as a highlighting pattern while filtering; empty otherwise.
    QString regexQuery;
    // To be called after the editor saved the card: drops the cached rows of the folder (none for an empty
    // id) and lists the panel again, or runs its filter again.
    std::function<void(const QString& folderId)> cardModified;
};
