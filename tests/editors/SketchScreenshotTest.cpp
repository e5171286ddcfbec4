#include "SketchFixture.h"

#include "TestScreenshots.h"
#include "platform/ink/InkToolPicker.h"

#include <QToolButton>
#include <QtMath>

namespace {

// Writes /tmp/sketch-full-{light,dark}.png and /tmp/sketch-popup-{light,dark}.png of the sketch editors with a
// drawing made by pen events, for a person to look at; ctest leaves it out (see the README for running screenshot
// makers).
class SketchScreenshotTest : public SketchFixture {
protected:
    static void drawScene(KuvBaseSketch* editor)
    {
        // A coastline, a lighthouse and a sun in the second colour.
        QList<QPoint> coast;
        for (int x = 20; x <= 460; x += 20)
            coast.append(QPoint(x, 260 + int(30 * qSin(x / 50.0))));
        draw(editor, coast);
        draw(editor, {{300, 230}, {310, 120}, {330, 120}, {340, 230}});
        draw(editor, {{295, 120}, {320, 95}, {345, 120}});
        editor->toolPicker()->colorButtons().at(1)->click();
        QList<QPoint> sun;
        for (int step = 0; step <= 24; ++step)
            sun.append(QPoint(110 + int(35 * qCos(step * M_PI / 12)), 100 + int(35 * qSin(step * M_PI / 12))));
        draw(editor, sun);
    }
};

TEST_F(SketchScreenshotTest, screenshotsOfTheFullAndPopupEditorsInBothAppearances)
{
    app->window()->show();
    DbHelpers::getItem(context(), SketchId)->setTag(QStringLiteral("inprogress"));
    ASSERT_FALSE(context()->save());
    KuvBaseSketch* full = openSketch(SketchId, {}, PresentationStyle::FullScreen, ProjectItemTypes::Story);
    drawScene(full);
    runEventsFor(100);
    grabInBothAppearances(app->window(), QStringLiteral("sketch-full"));
    rootScreen()->dismiss(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    KuvBaseSketch* popup = openSketch(QString(), {}, PresentationStyle::FormSheet, ProjectItemTypes::Location);
    typeTitle(popup, QStringLiteral("Harbour approach"));
    drawScene(popup);
    runEventsFor(100);
    grabInBothAppearances(popup->window(), QStringLiteral("sketch-popup"));
}

} // namespace
