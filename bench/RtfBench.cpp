#include "platform/rtf/RtfReader.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

int pictureCount(const QTextDocument& document)
{
    int count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            count += it.fragment().charFormat().isImageFormat() ? it.fragment().length() : 0;
    }
    return count;
}

QByteArray pictureGroup()
{
    QImage image(64, 48, QImage::Format_ARGB32);
    image.fill(QColor(40, 90, 160));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QByteArray hex = png.toHex();
    for (qsizetype at = 128; at < hex.size(); at += 130)
        hex.insert(at, "\r\n");
    return "{\\*\\shppict{\\pict\\pngblip\\picwgoal960\\pichgoal720 " + hex + "}}";
}

// About a megabyte of what word processors write: a font and colour table, paragraphs with style runs,
// escaped Windows-1252 punctuation, Unicode escapes and now and then a picture. paragraphs and pictures receive
// how many of each it holds.
QByteArray makeRtf(qsizetype size, int* paragraphs, int* pictures)
{
    static const QByteArray words[] = {"garden", "rose", "the", "river", "and", "night", "window", "of", "3.14"};
    QRandomGenerator random(7);
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;"
                     "\\f1\\froman\\fcharset0 Times;}{\\colortbl;\\red0\\green0\\blue0;\\red200\\green0\\blue0;}"
                     "{\\*\\generator Bench;}\\pard\\sa120\\f0\\fs24\\cf1 ";
    const QByteArray picture = pictureGroup();
    int paragraph = 0;
    while (rtf.size() < size) {
        for (int word = 0; word < 60; ++word) {
            switch (random.bounded(12)) {
            case 0:
                rtf += "{\\b " + words[random.bounded(9)] + "} ";
                break;
            case 1:
                rtf += "{\\i\\f1 " + words[random.bounded(9)] + "} ";
                break;
            case 2:
                rtf += "\\'93" + words[random.bounded(9)] + "\\'94 ";
                break;
            case 3:
                rtf += "caf\\'e9 \\uc1\\u8212?";
                break;
            default:
                rtf += words[random.bounded(9)] + " ";
                break;
            }
        }
        rtf += ++paragraph % 200 == 0 ? picture + "\\par\n" : "\\par\n";
    }
    *paragraphs = paragraph;
    *pictures = paragraph / 200;
    return rtf + "}";
}

void BM_ReadRtf1MB(benchmark::State& state)
{
    int paragraphs = 0;
    int pictures = 0;
    const QByteArray rtf = makeRtf(1024 * 1024, &paragraphs, &pictures);
    for (auto _ : state) {
        const auto document = RtfReader::read(rtf);
        // Every paragraph read (the text ends in an empty one after the last \par), every picture in place.
        state.PauseTiming();
        const bool whole = document && document->blockCount() == paragraphs + 1 && pictureCount(*document) == pictures;
        state.ResumeTiming();
        if (!whole) {
            state.SkipWithError("the RTF did not read whole");
            break;
        }
    }
    state.SetBytesProcessed(qint64(state.iterations()) * rtf.size());
}
BENCHMARK(BM_ReadRtf1MB)->Unit(benchmark::kMillisecond);

} // namespace
