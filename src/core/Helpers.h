#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class BarButtonItem;
class QObject;
class QPushButton;
class QTextDocument;
class QTextEdit;
class QWidget;

// Helpers the screens share: titles in bars and headers, file names and markup, printing, stored bytes as
// text, images, title views and the idiom switch.
class Helpers {
public:
    // The name a file gets when nothing usable is left of its title.
    static inline const QString UntitledFileName = QStringLiteral("Untitled");
    // Bars and headers on the desktop and tablet idiom show this many units of a title before "...".
    static constexpr int TrimmedTitleLength = 40;
    static constexpr int PhoneTrimmedTitleLength = 17;

    // The desktop and tablet presentation is the only one this application has.
    static bool iPadOrMac() { return true; }

    // A title of more than TrimmedTitleLength units cut to that length with "...".
    static QString getTrimmedTitle(const QString& title);
    // The text cut with "..." until it draws no wider than maxWidth in the font. A text that cannot
    // be cut that far becomes the ellipsis alone.
    static QString trimStringToWidth(const QString& text, qreal maxWidth, const QFont& attributes,
                                     bool includeEllipses = true);
    static QString escapeForXML(const QString& text);
    // Line feeds only: "\r\n" and lone "\r" become "\n".
    static QString lineEndingsFromApple(const QString& text);
    // The text without the characters file systems reject, trimmed; never empty.
    static QString sanitizeFileNameString(const QString& text);
    // RTF without its right-indent control words.
    static QString scrubRtf(const QString& rtf);

    // Printing: through the shared PrintHelper; failures are only logged.
    static void printView(BarButtonItem* sender, const QRect& senderRect, QWidget* senderView, const QString& title,
                          QTextDocument* formatter);
    // Prints an HTML text with the card title and page numbers on every page (CardPrintPageRenderer).
    static void printHTML(BarButtonItem* sender, const QRect& senderRect, QWidget* senderView, const QString& title,
                          const QString& content);

    // Conversion.
    struct TextRange {
        qsizetype location = 0;
        qsizetype length = 0;
        bool operator==(const TextRange&) const = default;
    };
    static QString htmlFromAttributedString(const QTextDocument* text);
    // Text from bytes of an unknown encoding, or nullopt for binary data (see TextDecoder).
    static std::optional<QString> safeTextDecode(const QByteArray& bytes);
    // A card body as rich text, or nullptr when no reader accepts the bytes (see TextDecoder).
    static std::unique_ptr<QTextDocument> textFromData(const QByteArray& bytes);
    // The selection in UTF-16 units from the start of the document.
    static TextRange selectedRangeInTextView(const QTextEdit* textView);

    static QImage filledImageFrom(const QImage& image, const QColor& color);

    // A flat button showing title in tintColor at the scaled size 17; tapping it runs tapSelector when both a
    // target (which bounds the connection's life) and an action are given.
    static QPushButton* getTitleView(const QString& title, const QColor& tintColor, bool isBold,
                                     QObject* tapTarget = nullptr, std::function<void()> tapSelector = {});
    // The title button beside a 32-point (scaled) icon, above an empty row.
    static QWidget* getTitleAndIconView(const QString& title, const QIcon& headerIcon, const QColor& tintColor,
                                        bool isBold, QObject* tapTarget = nullptr,
                                        std::function<void()> tapSelector = {});
    static inline const QString DarkBackgroundHex = QStringLiteral("#25252A");
    static inline const QString LightBackgroundHex = QStringLiteral("#FFFFFF");
    // The view's background for the current colour scheme; sender is not read.
    static void setupBackgroundGradient(QObject* sender, QWidget* view);

    // Progress-indicator defaults: haptics on, shown at least 2.0 s, after a grace time of 0.1 s.
    static constexpr int ProgressMinimumDismissMs = 2000;
    static constexpr int ProgressGraceMs = 100;
    static void setProgressNoBackground();
    // Full-screen progress has no distinct look on the desktop.
    static void setProgressFullScreen() {}

    // A metric for the idiom (see Metrics::scaled).
    static double scaledFloat(double value);
};
