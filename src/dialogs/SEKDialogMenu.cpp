#include "SEKDialogMenu.h"

#include "dialogs/FloatingEntry.h"
#include "dialogs/SEKDialogMenuController.h"

FloatingEntryAttributes SEKDialogMenu::attributes()
{
    return FloatingEntryAttributes::dialog(EntrySize);
}

void SEKDialogMenu::show(const QString& title, const QList<DialogMenuItem>& items,
                         std::function<void()> completion) const
{
    Q_UNUSED(completion)
    display(new SEKDialogMenuController(title, items));
}

void SEKDialogMenu::display(SEKDialogMenuController* controller)
{
    if (controller)
        FloatingEntry::display(controller, attributes(), false, FloatingEntry::mainWindow());
}
