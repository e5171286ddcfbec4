#include "SymbolIcons.h"

#include "CheckmarkSealIconEngine.h"
#include "ChevronIconEngine.h"
#include "CircledPlusIconEngine.h"
#include "ColorScheme.h"
#include "ExclamationTriangleIconEngine.h"
#include "NumberedDiscIconEngine.h"
#include "QuestionDiamondIconEngine.h"
#include "TextSizeIconEngine.h"
#include "TintedIconEngine.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <functional>
#include <utility>

namespace {

// The theme every symbol is looked up in; Debian's breeze-icon-theme carries all the names below, and its
// dark twin draws them light for a dark window.
const QString iconThemeName = QStringLiteral("breeze");
const QString darkIconThemeName = QStringLiteral("breeze-dark");

const QHash<QString, QString>& table()
{
    static const QHash<QString, QString> symbols{
        {QStringLiteral("plus"), QStringLiteral("list-add")},
        {QStringLiteral("folder"), QStringLiteral("folder")},
        {QStringLiteral("folder.badge.plus"), QStringLiteral("folder-new")},
        {QStringLiteral("house"), QStringLiteral("go-home")},
        {QStringLiteral("chevron.backward"), QStringLiteral("go-previous")},
        {QStringLiteral("chevron.forward"), QStringLiteral("go-next")},
        {QStringLiteral("sidebar.left"), QStringLiteral("sidebar-expand-left")},
        {QStringLiteral("book"), QStringLiteral("bookmarks")},
        {QStringLiteral("magnifyingglass"), QStringLiteral("edit-find")},
        {QStringLiteral("trash"), QStringLiteral("edit-delete")},
        {QStringLiteral("pencil"), QStringLiteral("document-edit")},
        {QStringLiteral("pencil.tip"), QStringLiteral("draw-freehand")},
        {QStringLiteral("eraser"), QStringLiteral("draw-eraser")},
        {QStringLiteral("ellipsis.circle"), QStringLiteral("overflow-menu")},
        {QStringLiteral("tag"), QStringLiteral("tag")},
        {QStringLiteral("square.and.arrow.up"), QStringLiteral("document-share")},
        {QStringLiteral("square.and.arrow.down"), QStringLiteral("document-import")},
        {QStringLiteral("speedometer"), QStringLiteral("speedometer")},
        {QStringLiteral("gear"), QStringLiteral("configure")},
        {QStringLiteral("apps.ipad"), QStringLiteral("document-open")},
        {QStringLiteral("doc.text"), QStringLiteral("text-plain")},
        {QStringLiteral("xmark"), QStringLiteral("window-close")},
        {QStringLiteral("gearshape"), QStringLiteral("configure")},
        {QStringLiteral("calendar"), QStringLiteral("view-calendar")},
        {QStringLiteral("clock"), QStringLiteral("clock")},
        {QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("data-warning")},
        {QStringLiteral("text.bubble"), QStringLiteral("edit-comment")},
        {QStringLiteral("text.bubble.fill"), QStringLiteral("view-pim-notes")},
        {QStringLiteral("rectangle.stack"), QStringLiteral("view-list-icons")},
        {QStringLiteral("line.horizontal.3.decrease.circle"), QStringLiteral("view-filter")},
        {QStringLiteral("line.horizontal.3.decrease.circle.fill"), QStringLiteral("view-filter")},
        {QStringLiteral("icloud.and.arrow.down"), QStringLiteral("cloud-download")},
        {QStringLiteral("icloud.and.arrow.up"), QStringLiteral("cloud-upload")},
        {QStringLiteral("arrow.uturn.left"), QStringLiteral("edit-undo")},
        {QStringLiteral("arrow.uturn.forward"), QStringLiteral("edit-redo")},
        {QStringLiteral("arrow.up.right.circle"), QStringLiteral("arrow-up")},
        {QStringLiteral("arrow.down.right.circle"), QStringLiteral("arrow-down")},
        {QStringLiteral("checkmark.square"), QStringLiteral("checkmark")},
        {QStringLiteral("list.bullet"), QStringLiteral("format-list-unordered")},
        {QStringLiteral("list.number"), QStringLiteral("format-list-ordered")},
        {QStringLiteral("paperplane.fill"), QStringLiteral("mail-send")},
        {QStringLiteral("text.cursor"), QStringLiteral("edit-select-text")},
        {QStringLiteral("photo"), QStringLiteral("image-x-generic")},
        {QStringLiteral("printer"), QStringLiteral("document-print")},
        {QStringLiteral("arrow.up.left.and.arrow.down.right"), QStringLiteral("view-fullscreen")},
        {QStringLiteral("arrow.down.right.and.arrow.up.left"), QStringLiteral("view-restore")},
        {QStringLiteral("info.circle"), QStringLiteral("help-about")},
        {QStringLiteral("minus.magnifyingglass"), QStringLiteral("zoom-out")},
        {QStringLiteral("plus.magnifyingglass"), QStringLiteral("zoom-in")},
        {QStringLiteral("rectangle.split.3x3.fill"), QStringLiteral("view-grid")},
        {QStringLiteral("doc"), QStringLiteral("text-plain")},
        {QStringLiteral("rays"), QStringLiteral("high-brightness")},
        {QStringLiteral("paintbrush"), QStringLiteral("draw-brush")},
    };
    return symbols;
}

using MakeEngine = std::function<QIconEngine*()>;

// Symbols no icon theme carries in the shape their names describe, drawn by us: the numbered discs of the draft
// tags, the Question tag's diamond, the Done tag's seal, the circled plus of the new-card commands, the warning
// triangle of the open issues, the text-size command's letters and the chevrons of its menu, tall and compact.
const QHash<QString, MakeEngine>& drawnTable()
{
    static const QHash<QString, MakeEngine> symbols = [] {
        QHash<QString, MakeEngine> drawn;
        for (int number = 1; number <= 10; ++number)
            drawn.insert(QString::number(number) + QStringLiteral(".circle.fill"),
                         [number] { return new NumberedDiscIconEngine(number); });
        drawn.insert(QStringLiteral("questionmark.diamond.fill"), [] { return new QuestionDiamondIconEngine; });
        drawn.insert(QStringLiteral("checkmark.seal.fill"), [] { return new CheckmarkSealIconEngine; });
        drawn.insert(CircledPlusIconEngine::SymbolName, [] { return new CircledPlusIconEngine; });
        drawn.insert(ExclamationTriangleIconEngine::SymbolName, [] { return new ExclamationTriangleIconEngine; });
        drawn.insert(QStringLiteral("textformat.size"), [] { return new TextSizeIconEngine; });
        drawn.insert(QStringLiteral("chevron.up"), [] { return new ChevronIconEngine(true, false); });
        drawn.insert(QStringLiteral("chevron.down"), [] { return new ChevronIconEngine(false, false); });
        drawn.insert(QStringLiteral("chevron.compact.up"), [] { return new ChevronIconEngine(true, true); });
        drawn.insert(QStringLiteral("chevron.compact.down"), [] { return new ChevronIconEngine(false, true); });
        return drawn;
    }();
    return symbols;
}

QHash<QString, QIcon>& cache()
{
    static QHash<QString, QIcon> icons;
    return icons;
}

// Some platform plug-ins (offscreen, minimal) search no system folder for themes; the freedesktop data folders
// are where every desktop keeps them.
void addSystemIconFolders()
{
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString icons = QDir(dir).filePath(QStringLiteral("icons"));
        if (!paths.contains(icons) && QFileInfo(icons).isDir())
            paths.append(icons);
    }
    QIcon::setThemeSearchPaths(paths);
}

bool themeInstalled(const QString& name)
{
    for (const QString& path : QIcon::themeSearchPaths()) {
        if (QFileInfo::exists(QDir(path).filePath(name + QStringLiteral("/index.theme"))))
            return true;
    }
    return false;
}

void applyThemeFor(bool dark)
{
    const QString name = dark && themeInstalled(darkIconThemeName) ? darkIconThemeName : iconThemeName;
    // Icons made from the theme reload themselves when the theme name changes.
    if (themeInstalled(name))
        QIcon::setThemeName(name);
}

} // namespace

void SymbolIcons::ensureTheme()
{
    static bool chosen = false;
    if (std::exchange(chosen, true))
        return;
    addSystemIconFolders();
    // Without breeze the desktop's own theme stays, and anything it lacks is drawn.
    applyThemeFor(ColorScheme::isDark());
    QObject::connect(ColorScheme::instance(), &ColorScheme::changed, ColorScheme::instance(), &applyThemeFor);
}

QIcon SymbolIcons::icon(const QString& symbolName)
{
    const auto cached = cache().constFind(symbolName);
    if (cached != cache().cend())
        return *cached;
    ensureTheme();
    const auto drawn = drawnTable().constFind(symbolName);
    const QIcon icon = drawn != drawnTable().cend() ? QIcon((*drawn)()) : themedIcon(symbolName);
    cache().insert(symbolName, icon);
    return icon;
}

QIcon SymbolIcons::themedIcon(const QString& symbolName)
{
    const QString name = themeName(symbolName);
    QIcon icon = name.isEmpty() ? QIcon() : QIcon::fromTheme(name);
    if (icon.isNull() || icon.pixmap(16).isNull())
        icon = drawnIcon(symbolName);
    return QIcon(new TintedIconEngine(icon));
}

QString SymbolIcons::themeName(const QString& symbolName)
{
    return table().value(symbolName);
}

bool SymbolIcons::isDrawn(const QString& symbolName)
{
    return drawnTable().contains(symbolName);
}

QStringList SymbolIcons::symbolNames()
{
    QStringList names = table().keys() + drawnTable().keys();
    names.sort();
    return names;
}

QIcon SymbolIcons::drawnIcon(const QString& symbolName)
{
    // A plain ring with the symbol's initial: enough to tell buttons apart when no theme answers.
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(110, 110, 110), 2));
    painter.drawEllipse(QRectF(3, 3, 26, 26));
    QFont font = painter.font();
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    const QString initial = symbolName.isEmpty() ? QStringLiteral("?") : symbolName.left(1).toUpper();
    painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, initial);
    painter.end();
    return QIcon(pixmap);
}
