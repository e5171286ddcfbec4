#include "TestImages.h"
#include "platform/rtf/RtfReader.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

// Fragments that steer mutations towards the reader's hard cases.
const QByteArray Dictionary[] = {
    "{",
    "}",
    "\\",
    "\\'",
    "\\'9",
    "\\u-10179?",
    "\\u",
    "\\uc0",
    "\\uc9",
    "\\bin",
    "\\bin9 ",
    "\\pict\\pngblip ",
    "\\*",
    "{\\*\\shppict{\\pict\\pngblip ",
    "\\fonttbl",
    "\\colortbl",
    "\\f1",
    "\\fcharset128 ",
    "\\ansicpg932",
    "\\par",
    "\\field",
    "{\\fldinst ",
    "\\fldrslt ",
    "\\upr",
    "\\ud",
    "\\NeXTGraphic ",
    ";",
    "-",
    "99999999999",
    "\\'ff",
    "\\'82\\'a0",
    "\r\n",
    "{{{{{{{{",
    "}}}}}}}}",
    "\\plain",
    "\\pard",
    "\\cf9",
    "\xC3",
    "\x93",
};

QByteArray pngHex()
{
    return solidPng(4, 3, Qt::red).toHex();
}

QList<QByteArray> seeds()
{
    return {
        "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2580\n{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;\\f1\\fnil\\fcharset128 "
        "Hiragino;}\n{\\colortbl;\\red255\\green255\\blue255;}\n{\\*\\expandedcolortbl;;}\n\\pard\\tx566\\pardirnatural"
        "\\partightenfactor0\n\n\\f0\\fs24 \\cf0 Hello {\\b bold} \\'93q\\'94\\f1 \\'82\\'a0\\uc0\\u8220 x}",
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times;}}{\\*\\shppict {\\pict \\pngblip " + pngHex() +
            "}}{\\nonshppict{\\pict\\wmetafile8 0102}}\\par end}",
        "{\\rtf1{\\field{\\*\\fldinst{HYPERLINK \"http://a\"}}{\\fldrslt{\\ul link}}}\\u-10179?\\u-8704?"
        "{\\upr{a}{\\*\\ud{b}}}{{\\NeXTGraphic a.png \\width1 \\height1}\\'ac}\\qc\\li720 p\\par}",
        "{\\rtf1{\\pict\\jpegblip\\picwgoal100\\pichgoal100\\bin4 \xff\xd8\xff\xe0}\\line\\tab{\\*\\unknown x}}",
    };
}

QByteArray mutate(QByteArray data, QRandomGenerator& random)
{
    const int steps = 1 + random.bounded(4);
    for (int step = 0; step < steps; ++step) {
        const qsizetype at = data.isEmpty() ? 0 : random.bounded(int(data.size()));
        switch (random.bounded(5)) {
        case 0:
            if (!data.isEmpty())
                data[at] = char(random.bounded(256));
            break;
        case 1:
            data.insert(at, Dictionary[random.bounded(int(std::size(Dictionary)))]);
            break;
        case 2:
            data.remove(at, random.bounded(16));
            break;
        case 3:
            data.insert(at, data.mid(random.bounded(int(data.size()) + 1), random.bounded(64)));
            break;
        default:
            data.truncate(at);
            break;
        }
    }
    // Most mutants must still reach the parser rather than fail the signature check.
    if (!data.startsWith("{\\rtf") && random.bounded(8) != 0)
        data.prepend("{\\rtf1 ");
    return data;
}

} // namespace

// A random-mutation run over several documents: no input may crash or hang the reader, and every input that
// starts as RTF must give a document.
TEST(RtfReaderFuzz, mutatedDocumentsNeverCrashTheReader)
{
    QRandomGenerator random(20240607);
    const QList<QByteArray> corpus = seeds();
    constexpr int Iterations = 20000;
    // Broken pictures make the image plug-ins complain once per mutant; that is expected here and only noise.
    struct QuietMessages {
        QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        ~QuietMessages() { qInstallMessageHandler(previous); }
    } quiet;
    int startingAsRtf = 0;
    for (int iteration = 0; iteration < Iterations; ++iteration) {
        const QByteArray input = mutate(corpus.at(iteration % corpus.size()), random);
        const auto document = RtfReader::read(input);
        // The input alone decides the answer: an RTF document opens with "{\rtf", whatever follows.
        if (input.startsWith("{\\rtf")) {
            ++startingAsRtf;
            ASSERT_NE(document, nullptr) << input.toHex().constData();
        } else {
            ASSERT_EQ(document, nullptr) << input.toHex().constData();
        }
    }
    // Both answers are asked for: most mutants reach the parser, some lose the signature.
    EXPECT_GT(startingAsRtf, Iterations / 2);
    EXPECT_LT(startingAsRtf, Iterations);
}
