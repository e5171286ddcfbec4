#include "DialogInputController.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

constexpr int FormTopMargin = 10;
constexpr int ButtonHeight = 32;
constexpr int ButtonsBottomMargin = 2;

} // namespace

DialogInputController::DialogInputController(const QString& title, const QString& label, const QString& placeholder,
                                             const QString& initialText, OkAction okAction, CancelAction cancelAction,
                                             QWidget* parent)
    : DialogInputBaseController(title, label, placeholder, initialText, std::move(okAction), std::move(cancelAction),
                                parent)
{
    setObjectName(QStringLiteral("DialogInputController"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(buildForm({FormTopMargin, ButtonHeight, ButtonsBottomMargin}));
    setTitle(title);
    finishSetUp();
}

void DialogInputController::viewWillAppear(bool animated)
{
    DialogInputBaseController::viewWillAppear(animated);
    styleNavigationBar();
}

void DialogInputController::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
        DialogInputBaseController::keyPressEvent(event);
        return;
    }
    event->accept();
    cancelTapped();
}

void DialogInputController::closeDialog()
{
    dismiss(true);
}
