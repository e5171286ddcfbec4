#include "SecondarySaves.h"

#include "CardEditorFields.h"
#include "CardEditorScreen.h"
#include "EditorPeek.h"
#include "core/DbHelpers.h"
#include "platform/NavigationController.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"

namespace {

// The secondary saves of screen when it is a primary card editor: only those open secondary cards.
SecondarySaves* savesOf(const QObject* screen)
{
    const auto* editor = qobject_cast<const CardEditorScreen*>(screen);
    const auto* fields = dynamic_cast<const CardEditorFields*>(screen);
    if (editor && fields && !fields->isSecondaryCard())
        return &editor->peek().secondarySaves();
    return nullptr;
}

} // namespace

SecondarySaves::SecondarySaves(CardEditorFields* opener) : m_fields(opener)
{
}

SecondarySaves* SecondarySaves::ofOpener(const ViewController* secondary)
{
    // Up through the screens it was presented over and the widgets holding them: the peek panel lies inside
    // the editor it slid over, and a sheet's presenter may sit inside a navigation controller.
    QSet<const QObject*> seen;
    const QObject* node = secondary;
    while (node && !seen.contains(node)) {
        seen.insert(node);
        if (SecondarySaves* saves = savesOf(node))
            return saves;
        if (const auto* navigation = qobject_cast<const NavigationController*>(node)) {
            for (ViewController* screen : navigation->viewControllers()) {
                if (SecondarySaves* saves = savesOf(screen))
                    return saves;
            }
        }
        const auto* screen = qobject_cast<const ViewController*>(node);
        const ViewController* presenter = screen ? screen->presentingViewController() : nullptr;
        node = presenter ? static_cast<const QObject*>(presenter) : node->parent();
    }
    return nullptr;
}

QSet<ManagedObject*> SecondarySaves::pendingRecords(ManagedObjectContext* context)
{
    QSet<ManagedObject*> pending;
    if (!context)
        return pending;
    for (const QList<ManagedObject*>& list :
         {context->insertedObjects(), context->updatedObjects(), context->deletedObjects()})
        pending.unite(QSet<ManagedObject*>(list.begin(), list.end()));
    return pending;
}

void SecondarySaves::secondaryWillOpen(ViewController* secondary)
{
    if (SecondarySaves* saves = ofOpener(secondary))
        saves->m_baseline = pendingRecords(saves->m_fields->managedObjectContext());
}

bool SecondarySaves::storeSecondary(ViewController* secondary, ManagedObjectContext* context,
                                    const QList<ManagedObject*>& cardRecords)
{
    // Without its opener nothing tells its records from the opener's pending ones: only its card's own go.
    QSet<ManagedObject*> written;
    if (SecondarySaves* saves = ofOpener(secondary))
        written = pendingRecords(context).subtract(saves->m_baseline);
    // A record of its own card may have been pending before it opened: what it holds now is this card's words all
    // the same. Records with nothing pending are passed over by the store.
    written.unite(QSet<ManagedObject*>(cardRecords.begin(), cardRecords.end()));
    return DbHelpers::saveManagedObjects(context, written.values(), secondary);
}
