#include "DialogInfoController.h"

#include "core/Helpers.h"
#include "core/Metrics.h"
#include "platform/BarButtonItem.h"
#include "platform/NavigationItem.h"
#include "platform/SymbolIcons.h"

#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr double TextFontSize = 15;
constexpr int TextMargin = 10;

} // namespace

DialogInfoController::DialogInfoController(const QString& title, const QString& text, QWidget* parent)
    : DialogBaseController(parent), m_text(text)
{
    setObjectName(QStringLiteral("DialogInfoController"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_textView = new QTextEdit(this);
    m_textView->setObjectName(QStringLiteral("textView"));
    m_textView->setReadOnly(true);
    m_textView->setFrameShape(QFrame::NoFrame);
    m_textView->document()->setDocumentMargin(TextMargin);
    m_textView->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(m_textView);

    setTitle(title);
    loadViewIfNeeded();
    roundCorners();
}

void DialogInfoController::viewDidLoad()
{
    DialogBaseController::viewDidLoad();
    // The information texts separate their lines with carriage return and line feed; each pair is one break.
    m_textView->setPlainText(Helpers::lineEndingsFromApple(m_text));
    auto* close = new BarButtonItem(SymbolIcons::icon(CloseSymbol), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setEnabled(true);
    connect(close, &QAction::triggered, this, &DialogInfoController::done);
    navigationItem()->setRightBarButtonItem(close);
    applyColors();
    colorsApplied();
}

void DialogInfoController::viewWillAppear(bool animated)
{
    DialogBaseController::viewWillAppear(animated);
    QFont font = m_textView->font();
    font.setPixelSize(static_cast<int>(Metrics::scaled(TextFontSize)));
    m_textView->setFont(font);
    styleNavigationBar();
}

void DialogInfoController::applyColors()
{
    const QColor background = backgroundColor();
    paintBackground(this, background);
    paintBackground(m_textView, background);
    paintBackground(m_textView->viewport(), background);
}

void DialogInfoController::done()
{
    dismiss(true);
}

void DialogInfoController::presentationDidAttemptToDismiss()
{
    done();
}
