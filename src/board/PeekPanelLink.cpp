#include "PeekPanelLink.h"

#include "CardOpener.h"
#include "PeekTableViewController.h"
#include "editors/CardEditorFields.h"
#include "platform/Storyboard.h"
#include "platform/ViewController.h"

#include <QPointer>

EditorBoardLink::PeekPanel PeekPanelLink::makePeekPanel(ViewController* editor, CardEditorFields* fields,
                                                        std::function<void(bool)> setPeeking)
{
    auto* panel =
        qobject_cast<PeekTableViewController*>(Storyboard::instantiate(PeekTableViewController::StoryboardIdentifier));
    if (!panel)
        return {};
    panel->setCurrentObject(fields->currentObject());
    panel->setProjectId(fields->currentProjectId());
    panel->setFolderId(fields->currentFolderId());
    panel->setFolderCards(fields->fetchedResults());
    panel->setManagedObjectContext(fields->managedObjectContext());
    // The panel keeps a pointer to its table: it gets a copy of its own, which may outlive the editor's fields.
    auto* props = new CardProps(fields->cardProps());
    panel->setCardProps(props);
    QObject::connect(panel, &QObject::destroyed, [props] { delete props; });
    QPointer<ViewController> guard(editor);
    panel->setPrePeek([guard, setPeeking] {
        if (guard && setPeeking)
            setPeeking(true);
    });
    panel->setPostPeek([guard, setPeeking] {
        if (guard && setPeeking)
            setPeeking(false);
    });
    return {panel, PeekTableViewController::openInSideView(panel, editor, QRectF(editor->rect()))};
}

void PeekPanelLink::reloadPeekPanel(ViewController* list, const QString& folderId)
{
    if (auto* panel = qobject_cast<PeekTableViewController*>(list))
        panel->reloadFolder(folderId);
}

void PeekPanelLink::newCard(ViewController* editor, CardEditorFields* fields, const CardProps& props,
                            qint64 displayOrder, std::function<void()> saved)
{
    CardOpener opener(editor, fields->managedObjectContext(), fields->currentProjectId(), fields->currentFolderId(),
                      props, fields->fetchedResults());
    opener.newCard(displayOrder, true, true, true, [saved](ProjectItem*) {
        if (saved)
            saved();
    });
}

void PeekPanelLink::reopenSecondaryCard(ViewController* editor, CardEditorFields* fields)
{
    CardOpener::openSecondaryCardFromAutoSaveWithController(editor, fields->managedObjectContext(),
                                                            fields->currentProjectId(), fields->fetchedResults(),
                                                            fields->cardProps());
}
