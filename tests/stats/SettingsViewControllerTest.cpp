#include "stats/SettingsViewController.h"
#include "SheetTestSupport.h"
#include "StatsFixture.h"
#include "TestWait.h"
#include "core/DbHelpers.h"
#include "core/HexColor.h"
#include "core/ProjectSetting.h"
#include "platform/Alert.h"
#include "platform/BarButtonItem.h"
#include "platform/NavigationController.h"
#include "platform/Storyboard.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>
#include <sqlite3.h>

namespace {

enum class Leave { CloseButton, Escape, WindowClose };

QStringList warnings;
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        warnings.append(message);
}

class SettingsViewControllerTest : public StatsFixture {
protected:
    void TearDown() override
    {
        closeSheetsOver(root);
        StatsFixture::TearDown();
    }

    void open()
    {
        root.resize(900, 700);
        root.show();
        ViewController::transitionAppearance(&root, true, false);
        SettingsViewController::registerInStoryboard();
        sheet = SettingsViewController::present(&root, context(), projectId);
        ASSERT_TRUE(sheet);
        ASSERT_TRUE(sheet->isViewLoaded());
    }

    void leave(Leave how)
    {
        switch (how) {
        case Leave::CloseButton: {
            auto* button = sheet->navigationController()->findChild<QToolButton*>(QStringLiteral("closeButton"));
            ASSERT_NE(button, nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
            break;
        }
        case Leave::Escape:
            QTest::keyClick(sheet->sceneSeparatorField(), Qt::Key_Escape);
            break;
        case Leave::WindowClose:
            sheet->window()->close();
            break;
        }
        ASSERT_EQ(root.presentedViewController(), nullptr);
    }

    void type(QLineEdit* field, const QString& text)
    {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }

    QString stored(const QString& key) { return SettingsHelper::getTextValue(context(), projectId, key, QString()); }
    int settingRecords() { return SettingsHelper::fetchSettings(projectId, context()).size(); }

    void refuseSettingInserts(bool refuse)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(store.path().toUtf8().constData(), &db), SQLITE_OK);
        const QByteArray sql = refuse ? "CREATE TRIGGER refuse BEFORE INSERT ON ProjectSetting "
                                        "BEGIN SELECT RAISE(ABORT, 'disk says no'); END;"
                                      : "DROP TRIGGER refuse";
        EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    ViewController root;
    QPointer<SettingsViewController> sheet;
};

TEST_F(SettingsViewControllerTest, projectWithoutSettingsShowsTheDefaults)
{
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(
        sheet->navigationController()->findChild<SettingsViewController*>(QStringLiteral("SettingsViewController")),
        sheet);
    EXPECT_EQ(sheet->title(), QStringLiteral("Project Settings"));
    EXPECT_EQ(sheet->wordsPerPageField()->text(), QStringLiteral("330"));
    EXPECT_FALSE(sheet->autoIndentToggle()->isChecked());
    EXPECT_TRUE(sheet->smartQuotesToggle()->isChecked());
    EXPECT_TRUE(sheet->wideGuttersToggle()->isChecked());
    EXPECT_EQ(sheet->sceneSeparatorField()->text(), QStringLiteral("###"));
    EXPECT_TRUE(sheet->includeBlankScenesToggle()->isChecked());
    EXPECT_FALSE(sheet->wordsPerPageMessage()->isVisibleTo(sheet));
}

TEST_F(SettingsViewControllerTest, storedValuesAreShown)
{
    ASSERT_NO_FATAL_FAILURE(setSetting(SettingsHelper::WordsPerPageKey, QStringLiteral("250")));
    ASSERT_NO_FATAL_FAILURE(setSetting(SettingsHelper::AutoIndentKey, QStringLiteral("true")));
    ASSERT_NO_FATAL_FAILURE(setSetting(SettingsHelper::SceneSeparatorKey, QStringLiteral("* * *")));
    ASSERT_NO_FATAL_FAILURE(setSetting(SettingsHelper::WideGuttersKey, QStringLiteral("false")));
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(sheet->wordsPerPageField()->text(), QStringLiteral("250"));
    EXPECT_TRUE(sheet->autoIndentToggle()->isChecked());
    EXPECT_FALSE(sheet->wideGuttersToggle()->isChecked());
    EXPECT_EQ(sheet->sceneSeparatorField()->text(), QStringLiteral("* * *"));
}

TEST_F(SettingsViewControllerTest, leavingWithoutChangesWritesAndSavesNothing)
{
    ASSERT_NO_FATAL_FAILURE(open());
    const qint64 token = context()->currentQueryGenerationToken().historyToken;
    ASSERT_NO_FATAL_FAILURE(leave(Leave::CloseButton));
    EXPECT_EQ(settingRecords(), 0);
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_EQ(context()->currentQueryGenerationToken().historyToken, token);
}

TEST_F(SettingsViewControllerTest, togglingASwitchAndBackWritesNothingForIt)
{
    ASSERT_NO_FATAL_FAILURE(open());
    QTest::mouseClick(sheet->smartQuotesToggle(), Qt::LeftButton);
    QTest::mouseClick(sheet->smartQuotesToggle(), Qt::LeftButton);
    ASSERT_NO_FATAL_FAILURE(leave(Leave::CloseButton));
    EXPECT_EQ(settingRecords(), 0);
}

class SettingsLeaveTest : public SettingsViewControllerTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(SettingsLeaveTest, everyWayOfLeavingWritesTheChangesInOneSave)
{
    ASSERT_NO_FATAL_FAILURE(setSetting(SettingsHelper::WideGuttersKey, QStringLiteral("true")));
    ASSERT_NO_FATAL_FAILURE(open());
    type(sheet->wordsPerPageField(), QStringLiteral("250"));
    QTest::mouseClick(sheet->autoIndentToggle(), Qt::LeftButton);
    QTest::mouseClick(sheet->smartQuotesToggle(), Qt::LeftButton);
    QTest::mouseClick(sheet->includeBlankScenesToggle(), Qt::LeftButton);
    type(sheet->sceneSeparatorField(), QStringLiteral("~"));
    const qint64 token = context()->currentQueryGenerationToken().historyToken;
    ASSERT_NO_FATAL_FAILURE(leave(GetParam()));

    EXPECT_FALSE(context()->hasChanges());
    // One transaction for all five settings.
    EXPECT_EQ(context()->currentQueryGenerationToken().historyToken, token + 1);
    store.reopen();
    EXPECT_EQ(stored(SettingsHelper::WordsPerPageKey), QStringLiteral("250"));
    EXPECT_EQ(stored(SettingsHelper::AutoIndentKey), QStringLiteral("true"));
    EXPECT_EQ(stored(SettingsHelper::SmartQuotesConversionKey), QStringLiteral("false"));
    EXPECT_EQ(stored(SettingsHelper::IncludeBlankScenesKey), QStringLiteral("false"));
    EXPECT_EQ(stored(SettingsHelper::SceneSeparatorKey), QStringLiteral("~"));
    EXPECT_EQ(stored(SettingsHelper::WideGuttersKey), QStringLiteral("true"));
}

INSTANTIATE_TEST_SUITE_P(ByButtonEscapeAndClose, SettingsLeaveTest,
                         ::testing::Values(Leave::CloseButton, Leave::Escape, Leave::WindowClose));

TEST_F(SettingsViewControllerTest, clearingTheSeparatorStoresAnEmptySeparator)
{
    ASSERT_NO_FATAL_FAILURE(open());
    type(sheet->sceneSeparatorField(), QString());
    ASSERT_NO_FATAL_FAILURE(leave(Leave::Escape));
    store.reopen();
    EXPECT_EQ(stored(SettingsHelper::SceneSeparatorKey), QString(QLatin1String("")));
    EXPECT_FALSE(stored(SettingsHelper::SceneSeparatorKey).isNull());
}

TEST_F(SettingsViewControllerTest, numberFollowedByABlankAndWordsStoresTheNumber)
{
    open();
    type(sheet->wordsPerPageField(), QStringLiteral("250 words"));
    EXPECT_FALSE(sheet->wordsPerPageMessage()->isVisibleTo(sheet));
    EXPECT_EQ(sheet->enteredWordsPerPage(), std::optional<qint64>(250));
    leave(Leave::CloseButton);
    store.reopen();
    EXPECT_EQ(stored(SettingsHelper::WordsPerPageKey), QStringLiteral("250"));
}

TEST_F(SettingsViewControllerTest, wordsPerPageOutsideOneTo100000OrRunIntoTextIsRefusedInTheFieldAndNotStored)
{
    for (const QString& hostile :
         {QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("100001"), QStringLiteral("abc"),
          QStringLiteral("250words"), QStringLiteral("words 250"), QStringLiteral("1,000"), QStringLiteral("2.5"),
          QStringLiteral("1e3"), QStringLiteral(""), QStringLiteral("99999999999999999999")}) {
        SCOPED_TRACE(hostile.toStdString());
        ASSERT_NO_FATAL_FAILURE(open());
        type(sheet->wordsPerPageField(), hostile);
        EXPECT_TRUE(sheet->wordsPerPageMessage()->isVisibleTo(sheet));
        EXPECT_EQ(sheet->wordsPerPageMessage()->text(), SettingsViewController::WordsPerPageRefused);
        QTest::mouseClick(sheet->autoIndentToggle(), Qt::LeftButton);
        ASSERT_NO_FATAL_FAILURE(leave(Leave::CloseButton));
        // The other change is written; the refused entry is not.
        EXPECT_TRUE(stored(SettingsHelper::WordsPerPageKey).isNull());
        EXPECT_EQ(SettingsHelper::getAutoIndent(context(), projectId), true);
        ASSERT_TRUE(SettingsHelper::setValue(context(), projectId, SettingsHelper::AutoIndentKey, "false"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(SettingsViewControllerTest, refusalWrapsWithinTheSheetRatherThanRunningPastIt)
{
    ASSERT_NO_FATAL_FAILURE(open());
    type(sheet->wordsPerPageField(), QStringLiteral("0"));
    QLabel* message = sheet->wordsPerPageMessage();
    ASSERT_TRUE(message->isVisibleTo(sheet));
    QWidget* content = sheet->findChild<QWidget*>(QStringLiteral("ContentView"));
    ASSERT_NE(content, nullptr);
    // Wider than the sheet on one line: it takes two or more.
    ASSERT_GT(message->fontMetrics().horizontalAdvance(message->text()), sheet->preferredContentSize().width());
    ASSERT_TRUE(waitFor([&] { return message->isVisible() && message->width() > 0; }));
    EXPECT_GT(message->height(), message->fontMetrics().height());
    EXPECT_LE(message->mapTo(content, QPoint(message->width(), 0)).x(), content->width());
    EXPECT_GE(message->height(), message->heightForWidth(message->width()));
}

TEST_F(SettingsViewControllerTest, wordsPerPageAtTheLimitsIsStored)
{
    ASSERT_NO_FATAL_FAILURE(open());
    type(sheet->wordsPerPageField(), QStringLiteral("100000"));
    EXPECT_FALSE(sheet->wordsPerPageMessage()->isVisibleTo(sheet));
    ASSERT_NO_FATAL_FAILURE(leave(Leave::CloseButton));
    EXPECT_EQ(stored(SettingsHelper::WordsPerPageKey), QStringLiteral("100000"));

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NO_FATAL_FAILURE(open());
    type(sheet->wordsPerPageField(), QStringLiteral(" 1 "));
    EXPECT_FALSE(sheet->wordsPerPageMessage()->isVisibleTo(sheet));
    ASSERT_NO_FATAL_FAILURE(leave(Leave::CloseButton));
    EXPECT_EQ(stored(SettingsHelper::WordsPerPageKey), QStringLiteral("1"));
}

TEST_F(SettingsViewControllerTest, leadingZeroOfTheStoredValueIsNoChange)
{
    ASSERT_NO_FATAL_FAILURE(open());
    type(sheet->wordsPerPageField(), QStringLiteral("0330"));
    ASSERT_NO_FATAL_FAILURE(leave(Leave::CloseButton));
    EXPECT_EQ(settingRecords(), 0);
}

TEST_F(SettingsViewControllerTest, settingsSaveLeavesAnOpenEditorsUnsavedTextPending)
{
    ProjectItem* card = addStoryCard(100);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    // The editor behind the sheet has changed the card and not saved it.
    card->setTitle(QStringLiteral("Unsaved title"));
    QTest::mouseClick(sheet->autoIndentToggle(), Qt::LeftButton);
    ASSERT_NO_FATAL_FAILURE(leave(Leave::CloseButton));
    EXPECT_TRUE(context()->hasChanges());
    EXPECT_TRUE(context()->updatedObjects().contains(card));
    store.reopen();
    EXPECT_EQ(stored(SettingsHelper::AutoIndentKey), QStringLiteral("true"));
    const QList<ProjectItem*> cards = DbHelpers::getFolderItems(context(), projectId, ItemIds::Top);
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards.first()->title(), QStringLiteral("Chapter"));
}

TEST_F(SettingsViewControllerTest, failedSaveLogsAndWarnsAndKeepsTheChangePending)
{
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_NO_FATAL_FAILURE(refuseSettingInserts(true));
    QTest::mouseClick(sheet->wideGuttersToggle(), Qt::LeftButton);
    warnings.clear();
    QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    ASSERT_NO_FATAL_FAILURE(leave(Leave::Escape));
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.contains(DbHelpers::SaveErrorLogLine));
    Alert* alert = Alert::topmost();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), DbHelpers::SaveErrorTitle);
    EXPECT_TRUE(alert->message().contains(QStringLiteral("disk says no")));
    EXPECT_TRUE(context()->hasChanges());

    // The next save of the store writes it.
    ASSERT_NO_FATAL_FAILURE(refuseSettingInserts(false));
    ASSERT_FALSE(context()->save().has_value());
    store.reopen();
    EXPECT_EQ(stored(SettingsHelper::WideGuttersKey), QStringLiteral("false"));
}

TEST_F(SettingsViewControllerTest, doneClosesTheSheetAndWritesTheChange)
{
    ASSERT_NO_FATAL_FAILURE(open());
    QTest::mouseClick(sheet->autoIndentToggle(), Qt::LeftButton);
    sheet->done();
    EXPECT_TRUE(waitFor([&] { return root.presentedViewController() == nullptr; }));
    EXPECT_EQ(stored(SettingsHelper::AutoIndentKey), QStringLiteral("true"));
}

TEST_F(SettingsViewControllerTest, everyControlSitsInItsLabelledRowInOrder)
{
    ASSERT_NO_FATAL_FAILURE(open());
    auto* form = qobject_cast<QFormLayout*>(sheet->wordsPerPageField()->parentWidget()->layout());
    ASSERT_NE(form, nullptr);
    struct Row {
        QWidget* control;
        QString title;
        QString name;
    };
    const QList<Row> rows{
        {sheet->wordsPerPageField(), QStringLiteral("Words per Page"), QStringLiteral("WordsPerPageTextField")},
        {sheet->autoIndentToggle(), QStringLiteral("Auto-Indent Paragraphs"), QStringLiteral("AutoIndentParagraphs")},
        {sheet->smartQuotesToggle(), QStringLiteral("Smart Quotes and Dashes"), QStringLiteral("SmartQuotesToggle")},
        {sheet->wideGuttersToggle(), QStringLiteral("Wide Gutters When Compiling"),
         QStringLiteral("WideGuttersToggle")},
        {sheet->sceneSeparatorField(), QStringLiteral("Scene Separator"), QStringLiteral("SceneSeparatorTextField")},
        {sheet->includeBlankScenesToggle(), QStringLiteral("Include Blank Scenes"),
         QStringLiteral("IncludeBlankScenesToggle")}};
    int above = -1;
    for (const auto& [control, title, name] : rows) {
        SCOPED_TRACE(title.toStdString());
        // Found by its name, as a script driving the sheet finds it.
        EXPECT_EQ(sheet->findChild<QWidget*>(name), control);
        auto* label = qobject_cast<QLabel*>(form->labelForField(control));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), title);
        EXPECT_GT(control->y(), above);
        above = control->y();
    }
}

TEST_F(SettingsViewControllerTest, wordsPerPageFieldTakesTwelveCharactersAndTheSeparatorTwoHundred)
{
    ASSERT_NO_FATAL_FAILURE(open());
    type(sheet->wordsPerPageField(), QStringLiteral("1234567890123"));
    EXPECT_EQ(sheet->wordsPerPageField()->text(), QStringLiteral("123456789012"));
    type(sheet->sceneSeparatorField(), QString(201, u'*'));
    EXPECT_EQ(sheet->sceneSeparatorField()->text(), QString(200, u'*'));
}

TEST_F(SettingsViewControllerTest, wordsPerPageFieldAsksAnInputMethodForDigits)
{
    ASSERT_NO_FATAL_FAILURE(open());
    const auto hints = Qt::InputMethodHints(sheet->wordsPerPageField()->inputMethodQuery(Qt::ImHints).toInt());
    EXPECT_TRUE(hints.testFlag(Qt::ImhDigitsOnly));
}

TEST_F(SettingsViewControllerTest, formKeepsItsMarginsFromTheSheetsEdges)
{
    ASSERT_NO_FATAL_FAILURE(open());
    QWidget* content = sheet->findChild<QWidget*>(QStringLiteral("ContentView"));
    ASSERT_NE(content, nullptr);
    QLineEdit* field = sheet->wordsPerPageField();
    auto* form = qobject_cast<QFormLayout*>(content->layout());
    ASSERT_NE(form, nullptr);
    QWidget* label = form->labelForField(field);
    ASSERT_NE(label, nullptr);
    // Laid out: the field stands right of its label.
    ASSERT_TRUE(waitFor([&] { return field->x() > label->geometry().right(); }));
    // 24 points on either side, 20 above the first row.
    EXPECT_EQ(label->x(), 24);
    EXPECT_EQ(content->width() - 1 - field->geometry().right(), 24);
    EXPECT_EQ(std::min(label->y(), field->y()), 20);
}

TEST_F(SettingsViewControllerTest, sheetShownFullScreenHasNoCloseButton)
{
    root.resize(900, 700);
    root.show();
    ViewController::transitionAppearance(&root, true, false);
    sheet = new SettingsViewController(context(), projectId);
    root.present(new NavigationController(sheet), false, {}, PresentationStyle::FullScreen);
    ASSERT_TRUE(sheet->isViewLoaded());
    EXPECT_EQ(sheet->navigationController()->findChild<QToolButton*>(QStringLiteral("closeButton")), nullptr);
}

TEST_F(SettingsViewControllerTest, backgroundFollowsTheAppearance)
{
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(sheet->palette().color(QPalette::Window), HexColor::colorWithHexString(QStringLiteral("#F1F1F1")));
    const QPalette light = switchScheme(true);
    const bool followed = waitFor([&] {
        return sheet->palette().color(QPalette::Window) == HexColor::colorWithHexString(QStringLiteral("#333334"));
    });
    QApplication::setPalette(light);
    EXPECT_TRUE(followed);
    EXPECT_TRUE(waitFor([&] {
        return sheet->palette().color(QPalette::Window) == HexColor::colorWithHexString(QStringLiteral("#F1F1F1"));
    }));
}

} // namespace
