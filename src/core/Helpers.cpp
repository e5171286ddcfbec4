#include "Helpers.h"

#include "CardPrintPageRenderer.h"
#include "HexColor.h"
#include "ImageHelpers.h"
#include "Metrics.h"
#include "PrintHelper.h"
#include "TextDecoder.h"
#include "platform/ColorScheme.h"
#include "platform/ElidedButton.h"
#include "platform/ProgressHud.h"
#include "platform/TintedIconEngine.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

const QString Ellipses = QStringLiteral("...");

// Title views of editor bars, in points before scaling.
constexpr double TitleFontSize = 17;
constexpr double TitleIconSize = 32;
constexpr int TitleIconSpacing = 10;
constexpr int TitleStackSpacing = 4;

// The first length units of text, shortened by one more unit where the cut would split a surrogate pair.
QString leftWholeCharacters(const QString& text, qsizetype length)
{
    length = std::clamp<qsizetype>(length, 0, text.size());
    if (length > 0 && length < text.size() && text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

} // namespace

QString Helpers::getTrimmedTitle(const QString& title)
{
    const int keep = iPadOrMac() ? TrimmedTitleLength : PhoneTrimmedTitleLength;
    const int limit = iPadOrMac() ? TrimmedTitleLength + 1 : PhoneTrimmedTitleLength + 1;
    if (title.size() < limit)
        return title;
    return leftWholeCharacters(title, keep) + Ellipses;
}

QString Helpers::trimStringToWidth(const QString& text, qreal maxWidth, const QFont& attributes, bool includeEllipses)
{
    // The one caller, the print header, always wants the ellipsis; the flag is kept for its call.
    Q_UNUSED(includeEllipses);
    const QFontMetricsF metrics(attributes);
    if (metrics.horizontalAdvance(text) <= maxWidth)
        return text;
    const auto fits = [&](qsizetype length) {
        return metrics.horizontalAdvance(leftWholeCharacters(text, length) + Ellipses) <= maxWidth;
    };
    // The first cut drops three units, each further one unit more. Wider prefixes never draw narrower,
    // so the longest fitting prefix is found by halving instead of measuring every length.
    qsizetype low = 0;
    qsizetype high = std::max<qsizetype>(text.size() - 4, 0);
    if (fits(high))
        return leftWholeCharacters(text, high) + Ellipses;
    while (low < high) {
        const qsizetype middle = low + (high - low + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return leftWholeCharacters(text, low) + Ellipses;
}

QString Helpers::escapeForXML(const QString& text)
{
    QString escaped = text;
    // The ampersand goes first so that the entities added below are not escaped again.
    escaped.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'"', QStringLiteral("&quot;"))
        .replace(u'>', QStringLiteral("&gt;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'\'', QStringLiteral("&apos;"));
    return escaped.isNull() ? QStringLiteral("") : escaped;
}

QString Helpers::lineEndingsFromApple(const QString& text)
{
    QString converted = text;
    converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return converted.isNull() ? QStringLiteral("") : converted;
}

QString Helpers::sanitizeFileNameString(const QString& text)
{
    static const QString rejected = QStringLiteral("/\\?%*|\"<>");
    QString name;
    name.reserve(text.size());
    for (const QChar unit : text) {
        if (!rejected.contains(unit))
            name.append(unit);
    }
    name = name.trimmed();
    // A title made only of rejected characters or blanks would otherwise name a hidden or invalid file.
    return name.isEmpty() ? UntitledFileName : name;
}

QString Helpers::scrubRtf(const QString& rtf)
{
    static const QRegularExpression rightIndent(QStringLiteral("\\\\ri[-0-9]+"),
                                                QRegularExpression::CaseInsensitiveOption);
    QString scrubbed = rtf;
    return scrubbed.remove(rightIndent);
}

void Helpers::printView(BarButtonItem* sender, const QRect& senderRect, QWidget* senderView, const QString& title,
                        QTextDocument* formatter)
{
    PrintHelper::shared().printView(sender, senderRect, senderView, title, formatter);
}

void Helpers::printHTML(BarButtonItem* sender, const QRect& senderRect, QWidget* senderView, const QString& title,
                        const QString& content)
{
    auto renderer = std::make_shared<CardPrintPageRenderer>(title, content);
    PrintHelper::shared().printWith(sender, senderRect, senderView, title,
                                    [renderer](QPrinter* printer) { return renderer->print(printer); });
}

QString Helpers::htmlFromAttributedString(const QTextDocument* text)
{
    return text ? text->toHtml() : QString();
}

std::optional<QString> Helpers::safeTextDecode(const QByteArray& bytes)
{
    return TextDecoder::safeTextDecode(bytes);
}

std::unique_ptr<QTextDocument> Helpers::textFromData(const QByteArray& bytes)
{
    return TextDecoder::textFromData(bytes);
}

Helpers::TextRange Helpers::selectedRangeInTextView(const QTextEdit* textView)
{
    if (!textView)
        return {};
    const QTextCursor cursor = textView->textCursor();
    return {cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
}

QImage Helpers::filledImageFrom(const QImage& image, const QColor& color)
{
    return ImageHelpers::filledImageFrom(image, color);
}

QPushButton* Helpers::getTitleView(const QString& title, const QColor& tintColor, bool isBold, QObject* tapTarget,
                                   std::function<void()> tapSelector)
{
    // A bar too narrow for the whole title shows its beginning and an ellipsis, never a middle cut at both ends.
    auto* button = new ElidedButton(title);
    button->setFlat(true);
    QFont font = QApplication::font();
    font.setPointSizeF(scaledFloat(TitleFontSize));
    font.setBold(isBold);
    button->setFont(font);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, tintColor);
    button->setPalette(palette);
    if (tapTarget && tapSelector)
        QObject::connect(button, &QPushButton::clicked, tapTarget, std::move(tapSelector));
    return button;
}

QWidget* Helpers::getTitleAndIconView(const QString& title, const QIcon& headerIcon, const QColor& tintColor,
                                      bool isBold, QObject* tapTarget, std::function<void()> tapSelector)
{
    const int iconSide = int(scaledFloat(TitleIconSize));
    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("titleIcon"));
    icon->setFixedSize(iconSide, iconSide);
    // A symbol is a template: it takes the title's colour, whatever colours its theme drew it in.
    icon->setPixmap(QIcon(new TintedIconEngine(headerIcon, tintColor)).pixmap(iconSide, iconSide));
    icon->setScaledContents(true);
    QPalette palette = icon->palette();
    palette.setColor(QPalette::WindowText, tintColor);
    icon->setPalette(palette);

    auto* row = new QWidget;
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(TitleIconSpacing);
    rowLayout->addWidget(icon);
    rowLayout->addWidget(getTitleView(title, tintColor, isBold, tapTarget, std::move(tapSelector)));

    auto* stack = new QWidget;
    auto* stackLayout = new QVBoxLayout(stack);
    stackLayout->setContentsMargins(0, 0, 0, 0);
    stackLayout->setSpacing(TitleStackSpacing);
    stackLayout->addWidget(row);
    stackLayout->addWidget(new QWidget);
    return stack;
}

void Helpers::setupBackgroundGradient(QObject* sender, QWidget* view)
{
    Q_UNUSED(sender);
    if (!view)
        return;
    const QColor background =
        HexColor::colorWithHexString(ColorScheme::isDark() ? DarkBackgroundHex : LightBackgroundHex);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, background);
    view->setPalette(palette);
    view->setAutoFillBackground(true);
}

void Helpers::setProgressNoBackground()
{
    ProgressHud::setHapticsEnabled(true);
    ProgressHud::setMinimumDismissTime(ProgressMinimumDismissMs);
    ProgressHud::setGraceTime(ProgressGraceMs);
}

double Helpers::scaledFloat(double value)
{
    return Metrics::scaled(value);
}
