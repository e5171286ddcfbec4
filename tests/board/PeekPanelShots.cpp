// Renders the peek panel beside a stand-in editor, light and dark, into /tmp/peek-panel-light.png and
// /tmp/peek-panel-dark.png, and the filtered panel into /tmp/peek-filtered-*.png, for a person to look at.
// A tool, not a test: build the target peek_panel_shots and run it.
#include "PeekFixture.h"
#include "TestScreenshots.h"
#include "TestWait.h"
#include "editors/NoResignTextField.h"
#include "platform/SideMenuNavigationController.h"

#include <QLabel>
#include <QListView>
#include <QStandardPaths>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    PeekFixture fixture;
    StandInEditor editor;
    auto* layout = new QVBoxLayout(&editor);
    auto* text = new QTextEdit(&editor);
    text->setPlainText(QStringLiteral("Departure\n\nThe ferry left before the light came up over the harbour. "
                                      "She stood at the rail and did not look back at the keeper's house."));
    layout->addWidget(text);
    editor.resize(1000, 700);
    editor.show();
    PeekTableViewController::setOpenCardHook([](const PeekCardRequest&) {});
    PeekTableViewController* panel = fixture.makePanel().release();
    SideMenuNavigationController* menu = PeekTableViewController::openInSideView(panel, &editor, editor.rect());
    menu->presentFrom(&editor, false);
    panel->tableView()->grab();
    grabInBothAppearances(&editor, QStringLiteral("peek-panel"));
    panel->filterTextField()->setFocus();
    QTest::keyClicks(panel->filterTextField(), QStringLiteral("keep"));
    grabInBothAppearances(&editor, QStringLiteral("peek-filtered"));
    return 0;
}
