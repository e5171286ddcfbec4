#include "EditorFixture.h"

#include "TestScreenshots.h"
#include "editors/PvSummaryEditViewController.h"
#include "richtext/QJTextAttachment.h"

#include <QPainter>

namespace {

// Writes /tmp/editor-light.png and /tmp/editor-dark.png of the full editor on a real card, for a person to look
// at; ctest leaves it out (see the README for running screenshot makers).
class EditorScreenshotTest : public EditorFixture {
protected:
    void writeCard()
    {
        QTextDocument body;
        QTextCursor cursor(&body);
        QTextCharFormat plain;
        plain.setFontFamilies({QStringLiteral("Helvetica")});
        plain.setFontPointSize(14);
        QTextCharFormat bold = plain;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(QStringLiteral("Chapter Three"), bold);
        cursor.insertText(QStringLiteral("\n\tThe lamp was lit at dusk, as it had been every night for forty years. "
                                         "Mara climbed the spiral stair with the oil can knocking against her knee, "
                                         "counting the steps the way her father had taught her.\n\tBelow, the "
                                         "harbour emptied. The last boats came in low and slow, their wakes folding "
                                         "into the grey water.\n"),
                          plain);
        QImage map(360, 200, QImage::Format_RGB32);
        map.fill(QColor("#7FA7C9"));
        QPainter painter(&map);
        painter.fillRect(QRect(40, 120, 280, 60), QColor("#C9B27F"));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPoint(250, 90), 18, 40);
        painter.end();
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), QJTextAttachment(map).format(body));
        cursor.insertText(QStringLiteral("\n\u2022 Check the tide tables\n\u2022 Ask Old Tom about the wreck\n"),
                          plain);
        DbHelpers::getItemDocument(context(), CardId)->setContent(*RichTextDocumentFormat::getData(body, 1.0));
        DbHelpers::getItem(context(), CardId)->setTag(QStringLiteral("inprogress"));
        ASSERT_FALSE(context()->save());
    }
};

TEST_F(EditorScreenshotTest, screenshotsInBothAppearances)
{
    ASSERT_NO_FATAL_FAILURE(writeCard());
    app->window()->show();
    PvEditViewController* editor = open();
    type(editor, QStringLiteral(" More words."));
    runEventsFor(100);
    app->window()->grab().save(QStringLiteral("/tmp/editor-light.png"));
    const QPalette light = QApplication::palette();
    QApplication::setPalette(darkPalette(light));
    runEventsFor(100);
    app->window()->grab().save(QStringLiteral("/tmp/editor-dark.png"));
    QApplication::setPalette(light);
}

// /tmp/editor-fresh-*.png: a card opened in either appearance, with nothing to save, undo or redo, tagged
// Question; and /tmp/editor-tags-*.png: its tag menu.
TEST_F(EditorScreenshotTest, screenshotsOfAFreshCardAndItsTagMenuInBothAppearances)
{
    DbHelpers::getItem(context(), CardId)->setTag(QStringLiteral("question"));
    ASSERT_FALSE(context()->save());
    app->window()->show();
    const QPalette light = QApplication::palette();
    for (const QString& appearance : {QStringLiteral("light"), QStringLiteral("dark")}) {
        QApplication::setPalette(appearance == QStringLiteral("dark") ? darkPalette(light) : light);
        PvEditViewController* editor = open();
        runEventsFor(100);
        grabAsSeen(app->window()).save(QStringLiteral("/tmp/editor-fresh-%1.png").arg(appearance));
        editor->commands().showTagMenu();
        runEventsFor(100);
        grabAsSeen(app->window()).save(QStringLiteral("/tmp/editor-tags-%1.png").arg(appearance));
        rootScreen()->dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QApplication::setPalette(light);
}

TEST_F(EditorScreenshotTest, screenshotsOfThePopupEditorInBothAppearances)
{
    app->window()->show();
    auto* editor = new PvSummaryEditViewController;
    editor->setManagedObjectContext(context());
    editor->setCurrentObject(DbHelpers::getItem(context(), QStringLiteral("CARD-2")));
    editor->setCurrentProjectId(ProjectId);
    editor->setCurrentFolderId(FolderId);
    editor->setIsPopup(true);
    rootScreen()->present(new NavigationController(editor), false, {}, PresentationStyle::FormSheet);
    ASSERT_TRUE(waitFor([editor] { return editor->contentLoaded(); }));
    QTest::keyClicks(editor->editor(), QStringLiteral("Mara keeps the lamp and counts the steps."));
    runEventsFor(100);
    grabInBothAppearances(editor->window(), QStringLiteral("popup"));
}

} // namespace
