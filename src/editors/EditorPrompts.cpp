#include "EditorPrompts.h"

#include "core/AppDelegate.h"
#include "core/SharedHelpers.h"
#include "platform/Alert.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/ProgressHud.h"
#include "platform/ViewController.h"

void EditorPrompts::confirmDiscard(QWidget* editor, std::function<void()> discard)
{
    for (Alert* shown : Alert::presented()) {
        if (shown->title() == DiscardChangesTitle)
            return;
    }
    auto* alert = new Alert(DiscardChangesTitle, DiscardChangesMessage);
    alert->setAccessibleName(DiscardChangesAccessibility);
    alert->setObjectName(DiscardChangesAccessibility);
    alert->addAction(DiscardTitle, AlertActionStyle::Destructive, std::move(discard));
    alert->addAction(CancelTitle, AlertActionStyle::Cancel);
    alert->present(editor);
}

void EditorPrompts::showCardUpdated(QWidget* editor, bool hasChanges, std::function<void()> loadCard)
{
    auto* alert = new Alert(UpdatedAlertTitle, UpdatedAlertFormat.arg(hasChanges ? UpdatedAlertCopyOffer : ""));
    alert->setObjectName(QStringLiteral("cardUpdatedAlert"));
    alert->addAction(IgnoreChangesTitle, AlertActionStyle::Destructive);
    alert->addAction(LoadCardTitle, AlertActionStyle::Default, std::move(loadCard));
    ViewController* top = SharedHelpers::getTopmostViewController();
    alert->present(top ? static_cast<QWidget*>(top) : editor);
}

void EditorPrompts::showUnreadable(QWidget* editor, const QString& message)
{
    auto* alert = new Alert(UnreadableTitle, message);
    alert->addAction(OkTitle);
    alert->present(editor);
}

void EditorPrompts::setCardEdits(bool isSecondaryCard, bool changed)
{
    AppDelegate* app = AppDelegate::shared();
    if (!app)
        return;
    if (isSecondaryCard)
        app->hasSecondaryCardEdits = changed;
    else
        app->hasPrimaryCardEdits = changed;
}

void EditorPrompts::runAfterIndicator(std::function<bool()> work)
{
    ProgressHud::show();
    Dispatch::globalAfter(Delays::scaled(SaveDelayMs), [work] {
        Dispatch::main([work] {
            if (!work())
                ProgressHud::dismiss();
        });
    });
}
