#include "RequiredTools.h"
#include "TestWait.h"
#include "core/CustomCellBackground.h"
#include "core/Helpers.h"
#include "core/NavigationHelpers.h"
#include "core/PrintHelper.h"
#include "core/SharedHelpers.h"
#include "platform/NavigationBar.h"
#include "platform/NavigationItem.h"
#include "platform/ProgressHud.h"
#include "platform/ViewController.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// Collects warnings, so that tests see what printing writes to the console.
class WarningCatcher {
public:
    WarningCatcher() { s_previous = qInstallMessageHandler(&WarningCatcher::handle); }
    ~WarningCatcher() { qInstallMessageHandler(s_previous); }
    static inline QStringList messages;

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtWarningMsg)
            messages.append(message);
    }
    static inline QtMessageHandler s_previous = nullptr;
};

// Prints straight to a PDF file instead of asking the writer.
class PrintToPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        WarningCatcher::messages.clear();
        PrintHelper::shared().setPrintDialog([this](QPrinter* printer, QWidget*, std::function<void(bool)> chosen) {
            jobName = printer->docName();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(outputPath);
            chosen(accept);
        });
    }
    void TearDown() override { PrintHelper::shared().setPrintDialog({}); }

    QTemporaryDir folder;
    QString outputPath = folder.filePath(QStringLiteral("card.pdf"));
    QString jobName;
    bool accept = true;
};

} // namespace

TEST_F(PrintToPdf, printViewWritesThePdfUnderTheJobTitle)
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("A card worth printing"));
    WarningCatcher catcher;
    Helpers::printView(nullptr, QRect(), nullptr, QStringLiteral("Chapter One"), &document);

    EXPECT_EQ(jobName, QStringLiteral("Chapter One"));
    QFile pdf(outputPath);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
    EXPECT_TRUE(WarningCatcher::messages.isEmpty());
}

TEST_F(PrintToPdf, failedJobIsLoggedAndReportedNotCompleted)
{
    outputPath = folder.filePath(QStringLiteral("missing/folder/card.pdf"));
    QTextDocument document(QStringLiteral("text"));
    std::optional<bool> completed;
    WarningCatcher catcher;
    PrintHelper::shared().printView(nullptr, QRect(), nullptr, QStringLiteral("Job"), &document,
                                    [&](bool done, const std::optional<QString>& error) {
                                        completed = done;
                                        EXPECT_TRUE(error.has_value());
                                    });
    EXPECT_EQ(completed, false);
    ASSERT_FALSE(WarningCatcher::messages.isEmpty());
    EXPECT_TRUE(
        WarningCatcher::messages.last().startsWith(QStringLiteral("Printing could not complete because of error: ")));
}

TEST_F(PrintToPdf, cancelledJobPrintsNothingAndLogsNothing)
{
    accept = false;
    QTextDocument document(QStringLiteral("text"));
    std::optional<bool> completed;
    WarningCatcher catcher;
    PrintHelper::shared().printView(nullptr, QRect(), nullptr, QStringLiteral("Job"), &document,
                                    [&](bool done, const std::optional<QString>&) { completed = done; });
    EXPECT_EQ(completed, false);
    EXPECT_FALSE(QFile::exists(outputPath));
    EXPECT_TRUE(WarningCatcher::messages.isEmpty());
}

TEST_F(PrintToPdf, documentClosedWhileTheDialogWasOpenIsAnErrorNotACrash)
{
    std::function<void(bool)> pending;
    PrintHelper::shared().setPrintDialog(
        [&](QPrinter*, QWidget*, std::function<void(bool)> chosen) { pending = std::move(chosen); });
    auto document = std::make_unique<QTextDocument>(QStringLiteral("text"));
    std::optional<bool> completed;
    PrintHelper::shared().printView(nullptr, QRect(), nullptr, QStringLiteral("Job"), document.get(),
                                    [&](bool done, const std::optional<QString>&) { completed = done; });
    document.reset();
    WarningCatcher catcher;
    pending(true);
    EXPECT_EQ(completed, false);
    EXPECT_EQ(WarningCatcher::messages.size(), 1);
}

TEST(HelpersViewTest, filledImageCoversExactlyTheOpaquePixels)
{
    QImage image(4, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixelColor(0, 0, QColor(10, 20, 30, 255));
    image.setPixelColor(1, 0, QColor(200, 100, 0, 128));
    const QImage filled = Helpers::filledImageFrom(image, QColor(255, 0, 0)).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(filled.pixelColor(0, 0), QColor(255, 0, 0, 255));
    EXPECT_EQ(filled.pixelColor(1, 0).red(), 255);
    EXPECT_NEAR(filled.pixelColor(1, 0).alpha(), 128, 1);
    EXPECT_EQ(filled.pixelColor(2, 0).alpha(), 0);
}

TEST(HelpersViewTest, resizeImageOnlyShrinks)
{
    QImage narrow(100, 50, QImage::Format_RGB32);
    narrow.fill(Qt::blue);
    EXPECT_EQ(SharedHelpers::resizeImage(narrow, 200.0f).cacheKey(), narrow.cacheKey());
    const QImage resized = SharedHelpers::resizeImage(QImage(400, 300, QImage::Format_RGB32), 100.0f);
    EXPECT_EQ(resized.size(), QSize(100, 75));
}

TEST(HelpersViewTest, selectedRangeCountsUtf16Units)
{
    QTextEdit view;
    view.setPlainText(QStringLiteral("\U0001F600 ab\ncd"));
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(3);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    view.setTextCursor(cursor);
    EXPECT_EQ(Helpers::selectedRangeInTextView(&view), (Helpers::TextRange{3, 4}));
    EXPECT_EQ(Helpers::selectedRangeInTextView(nullptr), (Helpers::TextRange{0, 0}));
}

TEST(HelpersViewTest, titleViewRunsItsActionOnlyWhileTheTargetLives)
{
    int taps = 0;
    auto target = std::make_unique<QObject>();
    std::unique_ptr<QPushButton> button(
        Helpers::getTitleView(QStringLiteral("Title"), Qt::red, true, target.get(), [&] { ++taps; }));
    EXPECT_EQ(button->text(), QStringLiteral("Title"));
    EXPECT_TRUE(button->font().bold());
    EXPECT_EQ(button->font().pointSizeF(), 13.0);
    EXPECT_EQ(button->palette().color(QPalette::ButtonText), QColor(Qt::red));
    button->click();
    target.reset();
    button->click();
    EXPECT_EQ(taps, 1);

    std::unique_ptr<QPushButton> withoutTarget(
        Helpers::getTitleView(QStringLiteral("Title"), Qt::red, false, nullptr, [&] { ++taps; }));
    withoutTarget->click();
    EXPECT_EQ(taps, 1);
}

TEST(HelpersViewTest, titleAndIconViewShowsAScaledIconBesideTheTitle)
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::green);
    std::unique_ptr<QWidget> view(
        Helpers::getTitleAndIconView(QStringLiteral("Notes"), QIcon(pixmap), Qt::black, false));
    auto* icon = view->findChild<QLabel*>(QStringLiteral("titleIcon"));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->size(), QSize(25, 25));
    // As laid out in a bar taller than the pair: the title starts 10 after the glyph, and both stand at the top,
    // in the upper half.
    view->resize(300, 100);
    view->layout()->activate();
    icon->parentWidget()->layout()->activate();
    auto* name = view->findChild<QPushButton*>();
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("Notes"));
    const QRect iconArea(icon->mapTo(view.get(), QPoint(0, 0)), icon->size());
    const QRect nameArea(name->mapTo(view.get(), QPoint(0, 0)), name->size());
    EXPECT_EQ(nameArea.left() - iconArea.right() - 1, 10);
    EXPECT_EQ(iconArea.center().y(), nameArea.center().y());
    EXPECT_EQ(icon->parentWidget()->y(), 0);
    EXPECT_LT(iconArea.bottom(), 50);
    // Icon and title sit 10 apart in a row, the row 4 above an empty view that keeps the pair at the top.
    auto* stack = qobject_cast<QVBoxLayout*>(view->layout());
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->spacing(), 4);
    ASSERT_EQ(stack->count(), 2);
    ASSERT_NE(stack->itemAt(0)->widget(), nullptr);
    auto* row = qobject_cast<QHBoxLayout*>(stack->itemAt(0)->widget()->layout());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->spacing(), 10);
    EXPECT_EQ(row->itemAt(0)->widget(), icon);
    QWidget* below = stack->itemAt(1)->widget();
    ASSERT_NE(below, nullptr);
    EXPECT_TRUE(below->children().isEmpty());
    EXPECT_EQ(below->geometry().top(), stack->itemAt(0)->geometry().bottom() + 1 + 4);
}

TEST(HelpersViewTest, progressDefaultsAreSetForTheIndicator)
{
    Helpers::setProgressNoBackground();
    EXPECT_EQ(ProgressHud::graceTime(), 100);
    EXPECT_EQ(ProgressHud::minimumDismissTime(), 2000);
    ProgressHud::reset();
}

TEST(HelpersViewTest, backgroundFollowsTheColourScheme)
{
    QWidget view;
    Helpers::setupBackgroundGradient(nullptr, &view);
    EXPECT_TRUE(view.autoFillBackground());
    EXPECT_EQ(view.palette().color(QPalette::Window), QColor(Qt::white));
    Helpers::setupBackgroundGradient(nullptr, nullptr);
}

TEST(HelpersViewTest, customNavbarColoursTheBarAndIgnoresNoBar)
{
    NavigationHelpers::setupCustomNavbar(nullptr);
    NavigationBar bar;
    NavigationHelpers::setupCustomNavbar(&bar);
    EXPECT_EQ(bar.palette().color(QPalette::Window), QColor(0x60, 0xC1, 0xC3));
    EXPECT_EQ(bar.palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(bar.palette().color(QPalette::ButtonText), QColor(Qt::white));
    EXPECT_TRUE(bar.autoFillBackground());
}

TEST(HelpersViewTest, cellBackgroundFillsGreyOverTheInnerHalfOfItsFrame)
{
    CustomCellBackground cell;
    cell.resize(40, 20);
    QImage image(cell.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    cell.render(&image);
    EXPECT_EQ(image.pixelColor(20, 10), QColor(153, 153, 153));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(153, 153, 153));
}

TEST(HelpersViewTest, topmostControllerFollowsPresentationsOfTheKeyWindow)
{
    ViewController root;
    root.show();
    QApplication::setActiveWindow(&root);
    // Whether the platform plugin activates windows at all is Qt's to say, not the helper's under test; the
    // offscreen plugin the suite runs on does, so there a window that never activates fails the test.
    if (!waitFor([&root] { return QApplication::activeWindow() == &root; }))
        MISSING_TOOL("the platform plugin does not activate windows");
    ASSERT_EQ(SharedHelpers::keyWindow(), &root);
    ViewController::transitionAppearance(&root, true, false);
    EXPECT_EQ(SharedHelpers::getTopmostViewController(), &root);
    auto* presented = new ViewController;
    root.present(presented, false);
    EXPECT_EQ(SharedHelpers::getTopmostViewController(), presented);
    root.dismiss(false);
}

TEST(HelpersViewTest, topmostControllerOfAPlainWindowIsTheScreenShownInItNotAHiddenOne)
{
    QWidget window;
    auto* hidden = new ViewController(&window);
    auto* shown = new ViewController(&window);
    ViewController::transitionAppearance(shown, true, false);
    window.show();
    QApplication::setActiveWindow(&window);
    if (!waitFor([&window] { return QApplication::activeWindow() == &window; }))
        MISSING_TOOL("the platform plugin does not activate windows");
    ASSERT_FALSE(hidden->isOnScreen());
    EXPECT_EQ(SharedHelpers::getTopmostViewController(), shown);
    window.hide();
}

TEST(HelpersViewTest, noKeyWindowMeansNoTopmostController)
{
    QWidget* active = QApplication::activeWindow();
    if (active)
        active->hide();
    EXPECT_EQ(SharedHelpers::keyWindow(), nullptr);
    EXPECT_EQ(SharedHelpers::getTopmostViewController(), nullptr);
}
