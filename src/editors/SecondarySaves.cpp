#include "SecondarySaves.h"

#include "CardEditorFields.h"
#include "EditorPeek.h"
#include "KuvBaseSketch.h"
#include "PvBaseEditor.h"
#include "core/AppDelegate.h"
#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "platform/NavigationController.h"
#include "platform/NotificationCenter.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"

namespace {

// The ledger of screen when it is a primary card editor: only those open secondary cards.
SecondarySaves* savesOf(const QObject* screen)
{
    if (const auto* text = qobject_cast<const PvBaseEditor*>(screen); text && !text->isSecondaryCard())
        return &text->peek().secondarySaves();
    if (const auto* sketch = qobject_cast<const KuvBaseSketch*>(screen); sketch && !sketch->isSecondaryCard())
        return &sketch->peek().secondarySaves();
    return nullptr;
}

} // namespace

SecondarySaves::SecondarySaves(CardEditorFields* opener) : m_fields(opener)
{
    // Quitting (the menu or the window's close button) is leaving the screen too.
    m_quitObserver = NotificationCenter::defaultCenter().addObserver(
        AppDelegate::WillTerminateNotification, nullptr, [this](const Notification&) { writeOut(nullptr); });
}

SecondarySaves::~SecondarySaves()
{
    NotificationCenter::defaultCenter().removeObserver(m_quitObserver);
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

bool SecondarySaves::secondaryWillOpen(ViewController* secondary)
{
    SecondarySaves* saves = ofOpener(secondary);
    if (!saves)
        return true;
    // The new card's snapshot takes the file that still guards the earlier card's words.
    const bool stored = saves->writeOut(secondary);
    saves->m_baseline = pendingRecords(saves->m_fields->managedObjectContext());
    return stored;
}

bool SecondarySaves::secondarySaved(ViewController* secondary, ManagedObjectContext* context,
                                    AutoSaveController* snapshots)
{
    SecondarySaves* saves = ofOpener(secondary);
    QSet<ManagedObject*> written = pendingRecords(context);
    if (saves)
        written.subtract(saves->m_baseline);
    // No snapshot to guard the words until the opener stores them: they are stored now.
    if (!snapshots || !snapshots->writeSnapshotNow())
        return written.isEmpty() || DbHelpers::saveManagedObjects(context, written.values(), secondary);
    if (saves)
        saves->m_records.unite(written);
    return true;
}

bool SecondarySaves::writeOut(QWidget* presenter)
{
    if (m_records.isEmpty())
        return true;
    ManagedObjectContext* context = m_fields->managedObjectContext();
    // Another save of the shared context may have stored some of them already.
    QList<ManagedObject*> unsaved;
    for (ManagedObject* record : std::as_const(m_records)) {
        if (record->hasChanges())
            unsaved.append(record);
    }
    if (!unsaved.isEmpty() && !DbHelpers::saveManagedObjects(context, unsaved, presenter))
        return false;
    m_records.clear();
    AutoSaveController::deleteAutoSaveWithProjectId(m_fields->currentProjectId(), true);
    return true;
}
