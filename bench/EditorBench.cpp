// The full editor on a long card (20,000 words, 5 images), as a writer waits for it: opening to a laid-out,
// painted first screen, one typed character with every change handler, the save after the indicator's wait, and
// the snapshot gathered on the GUI thread.
#include "BenchCard.h"
#include "TestStore.h"
#include "TestWait.h"
#include "core/AutoSaveController.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "editors/PvEditViewController.h"
#include "platform/Delays.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "richtext/PvTextView.h"
#include "richtext/QJTextAttachment.h"
#include "richtext/RichTextDocumentFormat.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <benchmark/benchmark.h>

namespace {

const QString ProjectId = QStringLiteral("BENCH");
const QString CardId = QStringLiteral("LONG-CARD");
constexpr int Words = 20000;
constexpr int Images = 5;

QImage photo(int seed)
{
    QImage image(1200, 800, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor::fromHsv(seed * 60 % 360, 120, 200));
    for (int i = 0; i < 40; ++i)
        painter.fillRect(QRect(i * 30, (i * 53 + seed * 17) % 700, 120, 90), QColor::fromHsv(i * 9 % 360, 200, 150));
    return image;
}

QByteArray longCard()
{
    QTextDocument text;
    QTextCursor cursor(&text);
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("Helvetica")});
    plain.setFontPointSize(14);
    QTextCharFormat italic = plain;
    italic.setFontItalic(true);
    const int imageEvery = Words / (Images + 1);
    for (int i = 0; i < Words; ++i) {
        if (i > 0 && i % 110 == 0)
            cursor.insertText(QStringLiteral("\n"), plain);
        if (i > 0 && i % imageEvery == 0 && i / imageEvery <= Images) {
            cursor.insertText(QString(QChar::ObjectReplacementCharacter),
                              QJTextAttachment(photo(i / imageEvery)).format(text));
            cursor.insertText(QStringLiteral("\n"), plain);
        }
        cursor.insertText(QStringLiteral("harbour%1 ").arg(i % 211), i % 29 == 0 ? italic : plain);
    }
    return *RichTextDocumentFormat::getData(text, 1.0);
}

class LongCard : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override
    {
        Delays::setFactor(0);
        store = std::make_unique<TestStore>();
        static const QByteArray body = longCard();
        seedCardWithBody(store->context(), ProjectId, CardId, ProjectItemTypes::Story,
                         QStringLiteral("The long chapter"), Words, QStringLiteral("LONG-DOC"), body);
    }
    void TearDown(const benchmark::State&) override
    {
        close();
        store.reset();
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    // Opens the card in a full editor shown in a navigation controller, as the board presents it.
    PvEditViewController* open()
    {
        editor = new PvEditViewController;
        editor->setManagedObjectContext(store->context());
        editor->setCurrentProjectId(ProjectId);
        editor->setCurrentFolderId(ItemIds::Top);
        editor->setCurrentItemType(ProjectItemTypes::Story);
        editor->setCurrentObject(
            static_cast<ProjectItem*>(store->context()->fetch(ProjectItem::fetchRequest()).first()));
        navigation = new NavigationController(editor);
        navigation->resize(1280, 800);
        navigation->show();
        ViewController::transitionAppearance(navigation, true, false);
        return editor;
    }
    QImage paint() const
    {
        QImage screen(navigation->size(), QImage::Format_ARGB32_Premultiplied);
        navigation->render(&screen);
        return screen;
    }
    void close()
    {
        if (!navigation)
            return;
        ViewController::transitionAppearance(navigation, false, false);
        delete navigation;
        navigation = nullptr;
        editor = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::unique_ptr<TestStore> store;
    NavigationController* navigation = nullptr;
    PvEditViewController* editor = nullptr;
};

BENCHMARK_DEFINE_F(LongCard, BM_OpenFullEditor20k)(benchmark::State& state)
{
    for (auto _ : state) {
        open();
        const QImage screen = paint();
        const bool whole = editor->contentLoaded() && editor->wordCount() == Words;
        benchmark::DoNotOptimize(screen.constBits());
        state.PauseTiming();
        close();
        state.ResumeTiming();
        // The library refuses a pause or resume after an error, so the error waits until timing runs again.
        if (!whole) {
            state.SkipWithError("the card did not load whole");
            break;
        }
    }
}
BENCHMARK_REGISTER_F(LongCard, BM_OpenFullEditor20k)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(LongCard, BM_EditorKeystroke20k)(benchmark::State& state)
{
    open();
    paint();
    QTextCursor middle(editor->editor()->document());
    middle.setPosition(editor->editor()->textLength() / 2);
    editor->editor()->setTextCursor(middle);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    for (auto _ : state) {
        const int before = editor->editor()->document()->characterCount();
        QApplication::sendEvent(editor->editor(), &press);
        if (editor->editor()->document()->characterCount() != before + 1 || !editor->cardChanged()) {
            state.SkipWithError("the character did not arrive");
            break;
        }
    }
}
BENCHMARK_REGISTER_F(LongCard, BM_EditorKeystroke20k)->Unit(benchmark::kMicrosecond);

BENCHMARK_DEFINE_F(LongCard, BM_SaveFullEditor20k)(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        open();
        QTextCursor end(editor->editor()->document());
        end.movePosition(QTextCursor::End);
        editor->editor()->setTextCursor(end);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(editor->editor(), &press);
        bool finished = false;
        bool saved = false;
        QObject::connect(editor, &PvEditViewController::saveFinished, [&](bool ok) {
            finished = true;
            saved = ok;
        });
        editor->saveCard();
        // The indicator's wait is a pause the writer's eye needs, not work; the save after it is measured.
        QThread::msleep(5);
        state.ResumeTiming();
        // A save that never reports back is a failed check, not a run that hangs.
        const bool reported = waitFor([&finished] { return finished; });
        state.PauseTiming();
        close();
        state.ResumeTiming();
        if (!reported || !saved) {
            state.SkipWithError(reported ? "the save failed" : "the save never finished");
            break;
        }
    }
}
BENCHMARK_REGISTER_F(LongCard, BM_SaveFullEditor20k)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(LongCard, BM_GatherSnapshot20k)(benchmark::State& state)
{
    open();
    const QString loaded = editor->editor()->toPlainText();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(editor->editor(), &press);
    const QString typed = editor->editor()->toPlainText();
    QVariantMap snapshot;
    for (auto _ : state) {
        snapshot = editor->autoSaveSnapshot();
        benchmark::DoNotOptimize(snapshot);
    }
    // The snapshot must read back as the whole card with the typed character, its pictures included.
    const auto read = RichTextDocumentFormat::loadFrom(snapshot.value(AutoSaveController::kContentKey).toByteArray());
    const QString text = read.document ? read.document->toPlainText() : QString();
    if (typed.size() != loaded.size() + 1 || text != typed || text.count(QChar::ObjectReplacementCharacter) != Images)
        state.SkipWithError("the snapshot is not the card as typed");
}
BENCHMARK_REGISTER_F(LongCard, BM_GatherSnapshot20k)->Unit(benchmark::kMillisecond);

} // namespace
