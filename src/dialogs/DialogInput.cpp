#include "DialogInput.h"

#include "platform/NavigationController.h"

void DialogInput::show(const QString& title, const QString& label, const QString& placeholder,
                       const QString& initialText, ViewController* fromViewController,
                       DialogInputController::OkAction okAction, DialogInputController::CancelAction cancelAction) const
{
    if (!fromViewController)
        return;
    auto* controller =
        new DialogInputController(title, label, placeholder, initialText, std::move(okAction), std::move(cancelAction));
    auto* navigation = new NavigationController(controller);
    navigation->setPreferredContentSize(PreferredContentSize);
    // Only OK and Cancel close the dialog, so exactly one of the two actions always runs.
    navigation->setModalInPresentation(true);
    fromViewController->present(navigation, true, {}, PresentationStyle::FormSheet);
}
