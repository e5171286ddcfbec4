#include "CompiledViewController.h"

#include "ManuscriptCompiler.h"
#include "core/Helpers.h"
#include "core/HexColor.h"
#include "core/NavigationHelpers.h"
#include "core/SettingsHelper.h"
#include "platform/BarButtonItem.h"
#include "platform/ColorScheme.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationController.h"
#include "platform/NavigationItem.h"
#include "platform/ProgressHud.h"
#include "platform/Storyboard.h"
#include "platform/SymbolIcons.h"
#include "platform/UserDefaults.h"
#include "richtext/PvTextView.h"
#include "richtext/TextRuns.h"

#include <QMenu>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct ScaleChoice {
    const char* title;
    const char* symbol;
    double scale;
};

constexpr ScaleChoice ScaleChoices[] = {
    {"Largest", "chevron.up", 1.75},          {"Larger", "chevron.compact.up", 1.5}, {"Default", "", 1.25},
    {"Smaller", "chevron.compact.down", 1.1}, {"Smallest", "chevron.down", 1.0},
};

} // namespace

CompiledViewController::CompiledViewController(QWidget* parent) : ViewController(parent)
{
}

CompiledViewController::~CompiledViewController() = default;

void CompiledViewController::registerInStoryboard()
{
    Storyboard::registerFactory(Identifier, [] { return new CompiledViewController; });
}

void CompiledViewController::viewDidLoad()
{
    setTitle(Helpers::getTrimmedTitle(folderTitle));
    m_wideGutters = SettingsHelper::getWideGutters(managedObjectContext, projectId);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_view = new PvTextView(this);
    m_view->setObjectName(QStringLiteral("compiledView"));
    m_view->setReadOnly(true);
    m_view->setFrameShape(QFrame::NoFrame);
    layout->addWidget(m_view, 1);

    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("toolbar"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* exportAction =
        m_toolbar->addAction(SymbolIcons::icon(QStringLiteral("square.and.arrow.up")), DocumentExport::ExportFormTitle);
    exportAction->setObjectName(QStringLiteral("exportButton"));
    connect(exportAction, &QAction::triggered, this, &CompiledViewController::exportButtonPressed);
    QAction* openIn =
        m_toolbar->addAction(SymbolIcons::icon(QStringLiteral("arrow.up.right.circle")), QStringLiteral("Open in"));
    openIn->setObjectName(QStringLiteral("openInButton"));
    connect(openIn, &QAction::triggered, this, &CompiledViewController::openInButtonPressed);
    auto* spacer = new QWidget(m_toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolbar->addWidget(spacer);
    m_fontButton = new QToolButton(m_toolbar);
    m_fontButton->setObjectName(QStringLiteral("fontButton"));
    m_fontButton->setIcon(SymbolIcons::icon(QStringLiteral("text.cursor")));
    m_fontButton->setText(QStringLiteral("Text Size"));
    m_fontButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_fontButton->setPopupMode(QToolButton::InstantPopup);
    m_fontButton->setMenu(getFontMenu());
    m_toolbar->addWidget(m_fontButton);
    layout->addWidget(m_toolbar);

    if (Helpers::iPadOrMac()) {
        auto* close = new BarButtonItem(SymbolIcons::icon(QStringLiteral("xmark")), this);
        close->setObjectName(QStringLiteral("closeButton"));
        connect(close, &QAction::triggered, this, &CompiledViewController::closeButtonPressed);
        navigationItem()->setRightBarButtonItem(close);
    }
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this] { setDarkMode(); });
    setupGutters(size());
}

void CompiledViewController::viewWillAppear(bool animated)
{
    Q_UNUSED(animated);
    m_view->scaleContentInline(PvTextView::sanitisedZoom(UserDefaults::standard().value(FontSizeKey)), false);
    ProgressHud::showWithStatus(CompilingStatus);
    setDarkMode();
}

void CompiledViewController::viewDidAppear(bool animated)
{
    Q_UNUSED(animated);
    QPointer<CompiledViewController> self(this);
    Dispatch::main([self] {
        if (self)
            self->showCompiled();
    });
}

std::unique_ptr<QTextDocument> CompiledViewController::doCompile()
{
    // Each checkbox is drawn for the appearance the manuscript is compiled in, as an editor loading it would.
    return ManuscriptCompiler(managedObjectContext, projectId, ColorScheme::isDark()).doCompile(folderId);
}

void CompiledViewController::showCompiled()
{
    // Colour, scale, spacing and gutters are set before the view takes the text, so that a long manuscript is
    // laid out once.
    std::unique_ptr<QTextDocument> text = doCompile();
    TextRuns::setForeground(*text, m_fg);
    const double zoom = PvTextView::sanitisedZoom(UserDefaults::standard().value(FontSizeKey));
    m_view->scaleContentInline(zoom, false);
    TextRuns::scaleFonts(*text, m_view->fontSize(), false);
    applyLineSpacing(*text);
    applyGutters(*text, size());
    text->clearUndoRedoStacks();
    m_view->setAttributedText(std::move(text));
    ProgressHud::dismiss();
}

void CompiledViewController::applyLineSpacing(QTextDocument& text)
{
    // Every line is followed by the same space, whatever paragraph it belongs to.
    QTextBlockFormat spacing;
    spacing.setLineHeight(LineSpacing, QTextBlockFormat::LineDistanceHeight);
    QTextCursor cursor(&text);
    cursor.select(QTextCursor::Document);
    cursor.mergeBlockFormat(spacing);
}

QString CompiledViewController::getTitle() const
{
    return title();
}

QMenu* CompiledViewController::getFontMenu()
{
    auto* menu = new QMenu(this);
    for (const ScaleChoice& choice : ScaleChoices) {
        const QString symbol = QString::fromLatin1(choice.symbol);
        QAction* action = symbol.isEmpty()
                              ? menu->addAction(QString::fromLatin1(choice.title))
                              : menu->addAction(SymbolIcons::icon(symbol), QString::fromLatin1(choice.title));
        const double scale = choice.scale;
        connect(action, &QAction::triggered, this, [this, scale] { setScaleFont(scale); });
    }
    return menu;
}

void CompiledViewController::setScaleFont(double scale)
{
    ProgressHud::show();
    QPointer<CompiledViewController> self(this);
    Dispatch::after(Delays::scaled(FormatDelayMs), [self, scale] {
        if (!self)
            return;
        const double old = PvTextView::sanitisedZoom(UserDefaults::standard().value(FontSizeKey));
        UserDefaults::standard().setValue(FontSizeKey, scale);
        self->m_view->scaleContentInline(old, true);
        self->m_view->scaleContentInline(scale, false);
        ProgressHud::dismiss();
    });
}

void CompiledViewController::setDarkMode()
{
    const bool dark = ColorScheme::isDark();
    m_fg = HexColor::colorWithHexString(dark ? DarkForeground : LightForeground);
    m_bg = HexColor::colorWithHexString(dark ? DarkBackground : LightBackground);
    if (auto* navigation = navigationController())
        NavigationHelpers::setupCustomNavbar(navigation->navigationBar(), m_fg, m_bg);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, m_bg);
    palette.setColor(QPalette::Base, m_bg);
    palette.setColor(QPalette::Text, m_fg);
    palette.setColor(QPalette::ButtonText, m_fg);
    palette.setColor(QPalette::WindowText, m_fg);
    setPalette(palette);
    setAutoFillBackground(true);
    m_view->setPalette(palette);
    // Text already shown follows the scheme too: black text on the dark background would be unreadable.
    if (!m_view->document()->isEmpty())
        TextRuns::setForeground(*m_view->document(), m_fg);
    m_toolbar->setPalette(palette);
    m_toolbar->setAutoFillBackground(true);
}

QMargins CompiledViewController::gutters(const QSize& size) const
{
    int side = NarrowGutter;
    if (size.width() > size.height() && m_wideGutters) {
        const NavigationController* navigation = navigationController();
        const int barHeight =
            navigation && !navigation->isNavigationBarHidden() ? navigation->navigationBar()->height() : 0;
        // A desktop window has no status bar.
        side = int((size.width() - (size.height() + barHeight)) * 0.5 + WideGutterExtra);
    }
    return QMargins(side, VerticalGutter, side, VerticalGutter);
}

void CompiledViewController::setupGutters(const QSize& size)
{
    if (m_view)
        applyGutters(*m_view->document(), size);
}

void CompiledViewController::applyGutters(QTextDocument& text, const QSize& size) const
{
    const QMargins margins = gutters(size);
    // The text keeps at least a third of the width however wide the gutters would be. The margins belong to
    // the page, so the scroll bar stays at the window's edge.
    const int side = qMax(0, qMin(margins.left(), size.width() / 3));
    QTextFrame* root = text.rootFrame();
    QTextFrameFormat format = root->frameFormat();
    if (format.leftMargin() == side && format.topMargin() == margins.top())
        return;
    format.setLeftMargin(side);
    format.setRightMargin(side);
    format.setTopMargin(margins.top());
    format.setBottomMargin(margins.bottom());
    root->setFrameFormat(format);
}

void CompiledViewController::resizeEvent(QResizeEvent* event)
{
    ViewController::resizeEvent(event);
    setupGutters(event->size());
}

void CompiledViewController::backButtonPressed()
{
    if (auto* navigation = navigationController())
        navigation->popViewController(true);
}

void CompiledViewController::closeButtonPressed()
{
    dismiss(true);
}

void CompiledViewController::exportButtonPressed()
{
    DocumentExport::chooseAndWrite(this, m_view, getTitle(), DocumentExport::Purpose::Export, rememberPath());
}

void CompiledViewController::openInButtonPressed()
{
    DocumentExport::chooseAndWrite(this, m_view, getTitle(), DocumentExport::Purpose::OpenIn, rememberPath());
}

void CompiledViewController::exportManuscript(int row)
{
    DocumentExport::writeFromView(this, m_view, getTitle(), DocumentExport::Purpose::Export, row, rememberPath());
}

void CompiledViewController::openManuscriptInApplication(int row)
{
    DocumentExport::writeFromView(this, m_view, getTitle(), DocumentExport::Purpose::OpenIn, row, rememberPath());
}

std::function<void(const std::optional<QString>&)> CompiledViewController::rememberPath()
{
    QPointer<CompiledViewController> self(this);
    return [self](const std::optional<QString>& path) {
        if (self)
            self->m_exportPath = path.value_or(QString());
    };
}
