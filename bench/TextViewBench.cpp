// The card editor's text view on a card of 20,000 words, measured as the writer waits for it: the view shown in
// a window of a real size, its visible part laid out and painted, a typed character arrived and drawn.
#include "richtext/PvTextView.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

constexpr int CardWords = 20000;
const QSize WindowSize(800, 600);

// A long card as the editors keep it: paragraphs of words, some bold, a few bullet lines.
QByteArray storedCard(int words)
{
    QTextDocument text;
    QTextCursor cursor(&text);
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("Helvetica")});
    plain.setFontPointSize(14);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    for (int i = 0; i < words; ++i) {
        if (i % 120 == 0 && i > 0)
            cursor.insertText(QStringLiteral("\n\u2022 "), plain);
        cursor.insertText(QStringLiteral("word%1 ").arg(i % 97), i % 17 == 0 ? bold : plain);
    }
    return *RichTextDocumentFormat::getData(text, 1.0);
}

const QByteArray& card()
{
    static const QByteArray bytes = storedCard(CardWords);
    return bytes;
}

// The view as an editor shows it: a window of a real size, on screen and holding the keyboard focus.
class ShownView {
public:
    ShownView()
    {
        view.resize(WindowSize);
        view.show();
        view.activateWindow();
        view.setFocus();
        const QDeadlineTimer deadline(5000);
        while (!view.hasFocus() && !deadline.hasExpired())
            QApplication::processEvents();
    }

    // The whole view painted as the screen would show it; painting lays out what is visible.
    QImage paint()
    {
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        view.render(&image);
        return image;
    }

    // Whether text was painted: the card's words are dark on a white page.
    static bool showsText(const QImage& image)
    {
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2) {
                if (qGray(image.pixel(x, y)) < 100)
                    return true;
            }
        }
        return false;
    }

    // Whether the stored card was taken in whole: its last words stand in the view.
    bool holdsCard() const
    {
        const QTextBlock last = view.document()->lastBlock();
        return view.document()->blockCount() > CardWords / 120 &&
               last.text().endsWith(QStringLiteral("word%1 ").arg((CardWords - 1) % 97));
    }

    PvTextView view;
};

// Goal: at most 150 ms from the stored card to its first screen laid out and painted.
void BM_LoadCard(benchmark::State& state)
{
    ShownView shown;
    for (auto _ : state) {
        const RichTextDocumentFormat::LoadStatus status = shown.view.loadFrom(card());
        const QImage screen = shown.paint();
        state.PauseTiming();
        const bool loaded =
            status == RichTextDocumentFormat::LoadStatus::Loaded && shown.holdsCard() && ShownView::showsText(screen);
        // The view lets go of the last card's document once control returns to the event loop.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!loaded) {
            state.SkipWithError("the card was not shown");
            break;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadCard)->Unit(benchmark::kMillisecond);

// Goal: at most 2 ms from a key press at the end of the card to the character in the text and on screen.
void BM_TypeCharacterAtEnd(benchmark::State& state)
{
    ShownView shown;
    shown.view.loadFrom(card());
    QTextCursor end = shown.view.textCursor();
    end.movePosition(QTextCursor::End);
    shown.view.setTextCursor(end);
    shown.paint();
    // A sentence typed over and over, a new paragraph now and then, as a writer's paragraphs run.
    const QString sentence = QStringLiteral("The tide came in over the harbour wall. ");
    constexpr int ParagraphCharacters = 600;
    if (!shown.view.hasFocus()) {
        state.SkipWithError("the view did not take the keyboard focus");
        return;
    }
    int typed = 0;
    for (auto _ : state) {
        const QChar character = sentence.at(typed % sentence.size());
        const int before = shown.view.textLength();
        QTest::keyClick(&shown.view, character.toLatin1());
        // The changed line is repainted, as the window's next update draws it.
        QApplication::processEvents();
        state.PauseTiming();
        const int cursor = shown.view.textCursor().position();
        const bool arrived =
            shown.view.textLength() == before + 1 && cursor > 0 && shown.view.characterAt(cursor - 1) == character;
        if (!arrived) {
            state.SkipWithError("the typed character did not arrive");
            break;
        }
        if (++typed % ParagraphCharacters == 0) {
            QTest::keyClick(&shown.view, Qt::Key_Return);
            QApplication::processEvents();
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TypeCharacterAtEnd)->Unit(benchmark::kMicrosecond);

// Rescaling the whole card to another zoom, then its first screen laid out and painted again.
void BM_Rescale(benchmark::State& state)
{
    ShownView shown;
    shown.view.loadFrom(card());
    shown.paint();
    bool down = true;
    for (auto _ : state) {
        shown.view.scaleContentInline(1.25, down);
        const QImage screen = shown.paint();
        state.PauseTiming();
        if (!ShownView::showsText(screen)) {
            state.SkipWithError("the rescaled card was not shown");
            break;
        }
        down = !down;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Rescale)->Unit(benchmark::kMillisecond);

} // namespace
