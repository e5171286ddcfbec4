// The popup editor on a 2,000-word card, as a writer waits for it after clicking the card: the sheet presented
// over the board, the card loaded, laid out and painted.
#include "BenchCard.h"
#include "TestStore.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/ProjectItemDocument.h"
#include "core/StoreConstants.h"
#include "editors/PvSummaryEditViewController.h"
#include "platform/Delays.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "richtext/PvTextView.h"
#include "richtext/RichTextDocumentFormat.h"

#include <QApplication>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

const QString ProjectId = QStringLiteral("BENCH");
const QString CardId = QStringLiteral("PERSON-CARD");
constexpr int Words = 2000;

QByteArray personCard()
{
    QTextDocument text;
    QTextCursor cursor(&text);
    QTextCharFormat plain;
    plain.setFontFamilies({QStringLiteral("Helvetica")});
    plain.setFontPointSize(14);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    for (int i = 0; i < Words; ++i) {
        if (i > 0 && i % 90 == 0)
            cursor.insertText(QStringLiteral("\n"), plain);
        cursor.insertText(QStringLiteral("keeper%1 ").arg(i % 157), i % 23 == 0 ? bold : plain);
    }
    return *RichTextDocumentFormat::getData(text, 1.0);
}

class PersonCard : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override
    {
        Delays::setFactor(0);
        store = std::make_unique<TestStore>();
        static const QByteArray body = personCard();
        seedCardWithBody(store->context(), ProjectId, CardId, ProjectItemTypes::Person, QStringLiteral("Mara"), Words,
                         QStringLiteral("PERSON-DOC"), body);
        board = std::make_unique<ViewController>();
        board->resize(1280, 800);
        board->show();
        ViewController::transitionAppearance(board.get(), true, false);
    }
    void TearDown(const benchmark::State&) override
    {
        close();
        ViewController::transitionAppearance(board.get(), false, false);
        board.reset();
        store.reset();
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    // Presents the card in the popup editor as a sheet over the board, as the board does.
    void open()
    {
        editor = new PvSummaryEditViewController;
        editor->setManagedObjectContext(store->context());
        editor->setCurrentProjectId(ProjectId);
        editor->setCurrentFolderId(ItemIds::Top);
        editor->setCurrentItemType(ProjectItemTypes::Person);
        editor->setCurrentObject(
            static_cast<ProjectItem*>(store->context()->fetch(ProjectItem::fetchRequest()).first()));
        editor->setIsPopup(true);
        editor->setModalInPresentation(true);
        auto* navigation = new NavigationController(editor);
        board->present(navigation, false, {}, PresentationStyle::FormSheet);
    }
    QImage paint() const
    {
        QWidget* sheet = editor->window();
        QImage screen(sheet->size(), QImage::Format_ARGB32_Premultiplied);
        sheet->render(&screen);
        return screen;
    }
    void close()
    {
        if (!editor)
            return;
        board->dismiss(false);
        editor = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::unique_ptr<TestStore> store;
    std::unique_ptr<ViewController> board;
    PvSummaryEditViewController* editor = nullptr;
};

BENCHMARK_DEFINE_F(PersonCard, BM_OpenPopupEditor)(benchmark::State& state)
{
    for (auto _ : state) {
        open();
        const QImage screen = paint();
        const bool whole = editor->contentLoaded() &&
            editor->editor()->toPlainText().count(QStringLiteral("keeper")) == Words && screen.size().width() >= 500;
        benchmark::DoNotOptimize(screen.constBits());
        state.PauseTiming();
        close();
        state.ResumeTiming();
        // The library refuses a pause or resume after an error, so the error waits until timing runs again.
        if (!whole) {
            state.SkipWithError("the card did not load whole into a sheet");
            break;
        }
    }
}
BENCHMARK_REGISTER_F(PersonCard, BM_OpenPopupEditor)->Unit(benchmark::kMillisecond);

} // namespace
