#include "SEKDialogInput.h"

#include "dialogs/FloatingEntry.h"
#include "dialogs/SEKDialogInputController.h"

namespace {

constexpr int KeyboardBottomOffset = 10;
constexpr int KeyboardScreenEdgeResistance = 20;

} // namespace

FloatingEntryAttributes SEKDialogInput::attributes()
{
    FloatingEntryAttributes attributes = FloatingEntryAttributes::dialog(EntrySize);
    attributes.boundToKeyboard = true;
    attributes.keyboardBottomOffset = KeyboardBottomOffset;
    attributes.keyboardScreenEdgeResistance = KeyboardScreenEdgeResistance;
    return attributes;
}

void SEKDialogInput::show(const QString& title, const QString& label, const QString& placeholder,
                          const QString& initialText, DialogInputController::OkAction okAction,
                          DialogInputController::CancelAction cancelAction) const
{
    auto* controller = new SEKDialogInputController(title, label, placeholder, initialText, std::move(okAction),
                                                    std::move(cancelAction));
    // The input entry shows inside the key window, where typing goes.
    FloatingEntry::display(controller, attributes(), true, FloatingEntry::mainWindow());
}
