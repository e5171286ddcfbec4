#include "SharedHelpers.h"

#include "ImageHelpers.h"
#include "platform/FormSheetDialog.h"
#include "platform/ViewController.h"

#include <QApplication>
#include <QMainWindow>
#include <QTextDocument>
#include <array>
#include <cstdint>

namespace {

constexpr char16_t ObjectReplacement = 0xFFFC;
constexpr char16_t EmDash = 0x2014;
constexpr char16_t Ellipsis = 0x2026;

enum UnitClass : std::uint8_t {
    Other = 0,
    WordBreak = 1,
    Alphanumeric = 2,
};

bool isWhiteSpace(char32_t unit)
{
    return QChar::isSpace(unit);
}

bool isAlphanumeric(char32_t unit)
{
    // Letters, marks and digits of every script; surrogate halves belong to none of them.
    return QChar::isLetterOrNumber(unit) || QChar::isMark(unit);
}

// Counting runs over long texts on every save, so each UTF-16 unit is classified once per process.
const std::array<std::uint8_t, 0x10000>& unitClasses()
{
    static const auto table = [] {
        std::array<std::uint8_t, 0x10000> classes {};
        for (char32_t unit = 0; unit < 0x10000; ++unit) {
            if (isWhiteSpace(unit) || unit == u'-' || unit == u'.' || unit == u':' || unit == u';' || unit == EmDash
                || unit == Ellipsis)
                classes[unit] = WordBreak;
            else if (isAlphanumeric(unit))
                classes[unit] = Alphanumeric;
        }
        return classes;
    }();
    return table;
}

bool isHighSurrogateAt(const QString& text, qsizetype index)
{
    return index >= 0 && index < text.size() && text.at(index).isHighSurrogate();
}

}  // namespace

qsizetype SharedHelpers::countWords(const QString& text)
{
    const auto& classes = unitClasses();
    const char16_t* unit = reinterpret_cast<const char16_t*>(text.constData());
    const char16_t* const end = unit + text.size();
    qsizetype words = 0;
    bool runHasAlphanumeric = false;
    for (; unit != end; ++unit) {
        const std::uint8_t kind = classes[*unit];
        if (kind == WordBreak) {
            words += runHasAlphanumeric;
            runHasAlphanumeric = false;
        } else {
            runHasAlphanumeric |= (kind == Alphanumeric);
        }
    }
    return words + runHasAlphanumeric;
}

qsizetype SharedHelpers::countWordsInAttributedString(const QTextDocument* document)
{
    return document ? countWords(document->toPlainText()) : 0;
}

qsizetype SharedHelpers::countWordsInAttributedString(const QString& plainText)
{
    return countWords(plainText);
}

bool SharedHelpers::isWordBreakChar(QChar unit)
{
    return unitClasses()[unit.unicode()] == WordBreak;
}

bool SharedHelpers::isWSChar(QChar unit)
{
    return unit.unicode() == ObjectReplacement || isWhiteSpace(unit.unicode());
}

bool SharedHelpers::isEmptyString(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar unit) { return isWSChar(unit); });
}

QString SharedHelpers::getSummary(const QString& text, int requestedSize)
{
    if (text.isEmpty())
        return QString();
    QString summary = text;
    summary.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
        .replace(u'\r', u' ')
        .replace(u'\n', u' ')
        .replace(u'\t', u' ')
        .replace(QStringLiteral("  "), QStringLiteral(" "));
    const qsizetype size = std::max(requestedSize, 0);
    if (summary.size() > size) {
        qsizetype keep = std::max<qsizetype>(size - 3, 0);
        // Never keep half of a surrogate pair: the cut moves before the pair instead.
        if (isHighSurrogateAt(summary, keep - 1))
            --keep;
        summary = summary.left(keep) + QStringLiteral("...");
    }
    return summary.trimmed();
}

QString SharedHelpers::getTitle(const QString& text, const QString& existingTitle, const QString& untitledTitle)
{
    const QString candidate = text.isEmpty() ? existingTitle : getSummary(text, TitleSize);
    return isEmptyString(candidate) ? untitledTitle : candidate;
}

QImage SharedHelpers::resizeImage(const QImage& image, float newWidth)
{
    return ImageHelpers::resizeImage(image, newWidth);
}

QWidget* SharedHelpers::keyWindow()
{
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->isVisible() && window->isActiveWindow())
            return window;
    }
    return nullptr;
}

namespace {

// The screen a window shows at its root: a form sheet's content, a main window's central screen, the window
// itself when it is a screen, else the outermost screen in it that nobody presented.
ViewController* rootViewController(QWidget* window)
{
    if (auto* sheet = qobject_cast<FormSheetDialog*>(window))
        return sheet->content();
    if (auto* mainWindow = qobject_cast<QMainWindow*>(window)) {
        if (auto* central = qobject_cast<ViewController*>(mainWindow->centralWidget()))
            return central;
    }
    if (auto* screen = qobject_cast<ViewController*>(window))
        return screen;
    const QList<ViewController*> screens = window->findChildren<ViewController*>();
    for (ViewController* screen : screens) {
        if (!screen->parentViewController() && !screen->presentingViewController() && screen->isOnScreen())
            return screen;
    }
    return nullptr;
}

}  // namespace

ViewController* SharedHelpers::getTopmostViewController()
{
    QWidget* window = keyWindow();
    return window ? ViewController::topmostPresented(rootViewController(window)) : nullptr;
}
