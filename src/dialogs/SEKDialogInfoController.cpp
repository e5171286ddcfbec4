#include "SEKDialogInfoController.h"

#include "core/Helpers.h"
#include "core/Metrics.h"
#include "dialogs/DialogBaseController.h"
#include "dialogs/FloatingEntry.h"
#include "dialogs/SEKDialogHeaderView.h"

#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr double TextFontSize = 15;
constexpr int TextMargin = 10;

} // namespace

SEKDialogInfoController::SEKDialogInfoController(const QString& title, const QString& text, QWidget* parent)
    : SEKDialogBaseController(parent), m_menuTitle(title), m_text(text)
{
    setObjectName(QStringLiteral("SEKDialogInfoController"));
    const SEKDialogHeaderView::Top top = SEKDialogHeaderView::installOn(this, dialogHeaderColor(), true);
    QVBoxLayout* layout = top.layout;
    m_headerView = top.header;
    m_titleView = top.header->titleView();
    m_closeButtonView = top.header->closeButtonView();
    m_separatorView = top.separator;
    m_textView = new QTextEdit(this);
    m_textView->setObjectName(QStringLiteral("textView"));
    m_textView->setReadOnly(true);
    m_textView->setFrameShape(QFrame::NoFrame);
    m_textView->document()->setDocumentMargin(TextMargin);
    QFont font = m_textView->font();
    font.setPixelSize(static_cast<int>(Metrics::scaled(TextFontSize)));
    m_textView->setFont(font);
    layout->addWidget(m_textView, 1);
    connect(m_closeButtonView, &QPushButton::clicked, this, &SEKDialogInfoController::close);

    loadViewIfNeeded();
}

void SEKDialogInfoController::viewDidLoad()
{
    SEKDialogBaseController::viewDidLoad();
    m_titleView->setText(m_menuTitle);
    m_textView->setPlainText(Helpers::lineEndingsFromApple(m_text));
    applyColors();
    colorsApplied();
}

void SEKDialogInfoController::applyColors()
{
    const QColor background = backgroundColor();
    DialogBaseController::paintBackground(this, background);
    DialogBaseController::paintBackground(m_textView, background);
    DialogBaseController::paintBackground(m_textView->viewport(), background);
    DialogBaseController::paintBackground(m_separatorView, separatorColor());
}

void SEKDialogInfoController::close()
{
    FloatingEntry::dismiss(this);
}
