#include "FormSheetDialog.h"

#include "ViewController.h"

#include <QCloseEvent>
#include <QVBoxLayout>

FormSheetDialog::FormSheetDialog(ViewController* content, QWidget* parentWindow)
    : QDialog(parentWindow), m_content(content)
{
    setObjectName(QStringLiteral("formSheet"));
    setWindowModality(Qt::WindowModal);
    setWindowTitle(content->title());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    content->show();
    connect(content, &ViewController::titleChanged, this, &QWidget::setWindowTitle);
}

void FormSheetDialog::release()
{
    m_released = true;
}

void FormSheetDialog::reject()
{
    if (m_released)
        QDialog::reject();
    else
        requestDismiss();
}

void FormSheetDialog::closeEvent(QCloseEvent* event)
{
    if (m_released) {
        QDialog::closeEvent(event);
        return;
    }
    // The window stays until the presenter has run the disappear hooks; dismissing hides it.
    event->ignore();
    requestDismiss();
}

void FormSheetDialog::requestDismiss()
{
    if (!m_content)
        return;
    if (m_content->isModalInPresentation())
        m_content->presentationDidAttemptToDismiss();
    else
        m_content->dismiss(true);
}
