#include "editors/PvTextView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

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
    static const QByteArray bytes = storedCard(20000);
    return bytes;
}

void BM_LoadCard(benchmark::State& state)
{
    PvTextView view;
    view.resize(800, 600);
    for (auto _ : state)
        view.loadFrom(card());
}
BENCHMARK(BM_LoadCard)->Unit(benchmark::kMillisecond);

void BM_TypeCharacterAtEnd(benchmark::State& state)
{
    PvTextView view;
    view.resize(800, 600);
    view.loadFrom(card());
    QTextCursor end = view.textCursor();
    end.movePosition(QTextCursor::End);
    view.setTextCursor(end);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    for (auto _ : state)
        QApplication::sendEvent(&view, &press);
}
BENCHMARK(BM_TypeCharacterAtEnd)->Unit(benchmark::kMicrosecond);

void BM_Rescale(benchmark::State& state)
{
    PvTextView view;
    view.resize(800, 600);
    view.loadFrom(card());
    bool down = true;
    for (auto _ : state) {
        view.scaleContentInline(1.25, down);
        down = !down;
    }
}
BENCHMARK(BM_Rescale)->Unit(benchmark::kMillisecond);

} // namespace

