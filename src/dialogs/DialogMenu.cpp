#include "DialogMenu.h"

#include "platform/NavigationController.h"

void DialogMenu::show(const QString& title, const QList<DialogMenuItem>& items, ViewController* fromViewController,
                      DialogMenuController::Completion completion) const
{
    if (!fromViewController)
        return;
    present(new DialogMenuController(title, items, std::move(completion)), fromViewController);
}

void DialogMenu::present(DialogMenuController* controller, ViewController* fromViewController)
{
    if (!controller || !fromViewController)
        return;
    auto* navigation = new NavigationController(controller);
    navigation->setPreferredContentSize(PreferredContentSize);
    // Closing goes through "xmark" or a row, so the completion runs on every close.
    navigation->setModalInPresentation(true);
    fromViewController->present(navigation, true, {}, PresentationStyle::FormSheet);
}
