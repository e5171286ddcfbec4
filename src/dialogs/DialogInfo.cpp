#include "DialogInfo.h"

#include "dialogs/DialogInfoController.h"
#include "platform/NavigationController.h"

void DialogInfo::show(const QString& title, const QString& text, ViewController* fromViewController) const
{
    if (!fromViewController)
        return;
    auto* navigation = new NavigationController(new DialogInfoController(title, text));
    navigation->setPreferredContentSize(PreferredContentSize);
    navigation->setModalInPresentation(true);
    fromViewController->present(navigation, true, {}, PresentationStyle::FormSheet);
}
