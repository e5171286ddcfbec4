#pragma once

#include <QChar>
#include <QImage>
#include <QList>
#include <QString>
#include <algorithm>

class QTextDocument;
class QWidget;
class ViewController;

// Text derivations shared by every writer of cards: word counts, titles and one-line summaries.
class SharedHelpers {
public:
    // Sizes at which titles and summaries are cut from a card's text.
    static constexpr int TitleSize = 128;
    static constexpr int SummarySize = 512;

    // Runs of units that are not word breaks and hold at least one letter, mark or digit.
    static qsizetype countWords(const QString& text);
    static qsizetype countWordsInAttributedString(const QTextDocument* document);
    static qsizetype countWordsInAttributedString(const QString& plainText);

    static bool isWordBreakChar(QChar unit);
    // White space, or the object replacement character that stands for an attachment.
    static bool isWSChar(QChar unit);
    // True for a null or empty text and for one made only of white space and attachments.
    static bool isEmptyString(const QString& text);

    // The text on one line, cut to at most requestedSize units with "..." and trimmed.
    static QString getSummary(const QString& text, int requestedSize);
    // The card's summary at TitleSize, else the existing title, else the untitled title.
    static QString getTitle(const QString& text, const QString& existingTitle, const QString& untitledTitle);

    // The image scaled down to newWidth (height in proportion); an image no wider is returned unchanged.
    static QImage resizeImage(const QImage& image, float newWidth);
    // The first top-level window that is active, or nullptr.
    static QWidget* keyWindow();
    // The key window's root screen followed to the last screen it presents, or nullptr without a key window.
    static ViewController* getTopmostViewController();

    template <class T> static QList<T> reverseArray(const QList<T>& array)
    {
        QList<T> reversed(array);
        std::reverse(reversed.begin(), reversed.end());
        return reversed;
    }
};
