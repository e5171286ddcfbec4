#include "SEKDialogInputController.h"

#include "dialogs/FloatingEntry.h"
#include "dialogs/SEKDialogHeaderView.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int FormTopMargin = 12;
constexpr int ButtonHeight = 36;
constexpr int ButtonsBottomMargin = 4;

} // namespace

SEKDialogInputController::SEKDialogInputController(const QString& title, const QString& label,
                                                   const QString& placeholder, const QString& initialText,
                                                   OkAction okAction, CancelAction cancelAction, QWidget* parent)
    : DialogInputBaseController(title, label, placeholder, initialText, std::move(okAction), std::move(cancelAction),
                                parent)
{
    setObjectName(QStringLiteral("SEKDialogInputController"));
    const SEKDialogHeaderView::Top top = SEKDialogHeaderView::installOn(this, dialogHeaderColor(), false);
    m_headerView = top.header;
    m_titleView = top.header->titleView();
    m_separatorView = top.separator;
    top.layout->addWidget(buildForm({FormTopMargin, ButtonHeight, ButtonsBottomMargin}), 1);
    finishSetUp();
}

void SEKDialogInputController::viewDidLoad()
{
    m_titleView->setText(dialogTitle());
    DialogInputBaseController::viewDidLoad();
}

void SEKDialogInputController::applyColors()
{
    DialogInputBaseController::applyColors();
    paintBackground(m_separatorView, separatorColor());
}

void SEKDialogInputController::closeDialog()
{
    FloatingEntry::dismiss(this);
}
