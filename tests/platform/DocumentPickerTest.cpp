#include "platform/DocumentPicker.h"

#include "TestWait.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QFileDialog* shownPanel()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

TEST(DocumentPickerTest, theSavePanelSuggestsTheNameAndAnswersOnceWithTheChoice)
{
    QWidget window;
    window.resize(900, 640);
    window.show();
    int answers = 0;
    std::optional<QString> chosen;
    DocumentPicker::exportDocument(&window, QStringLiteral("Manuscript.docx"), [&](const std::optional<QString>& to) {
        ++answers;
        chosen = to;
    });
    ASSERT_TRUE(waitFor([] { return shownPanel() != nullptr; }));
    QFileDialog* panel = shownPanel();
    EXPECT_EQ(panel->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(panel->windowTitle(), DocumentPicker::ExportTitle);
    const QLineEdit* name = panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr) << "the panel shows no file name field";
    EXPECT_EQ(name->text(), QStringLiteral("Manuscript.docx"));
    if (qEnvironmentVariableIsSet("PLOTVANE_EDITOR_SHOT"))
        panel->grab().save(QStringLiteral("/tmp/document-picker.png"));
    panel->reject();
    ASSERT_TRUE(waitFor([&] { return answers > 0; }));
    runEventsFor(50);
    EXPECT_EQ(answers, 1);
    EXPECT_FALSE(chosen.has_value()) << "a cancelled panel chooses nothing";
}

TEST(DocumentPickerTest, testsCanInjectTheChoiceAndTheOpener)
{
    DocumentPicker::setChooser(
        [](QWidget*, const QString& name, DocumentPicker::Done done) { done(QStringLiteral("/chosen/") + name); });
    QString opened;
    DocumentPicker::setOpener([&](const QString& path) {
        opened = path;
        return true;
    });
    std::optional<QString> chosen;
    DocumentPicker::exportDocument(nullptr, QStringLiteral("a.rtf"),
                                   [&](const std::optional<QString>& to) { chosen = to; });
    EXPECT_EQ(chosen, std::optional<QString>(QStringLiteral("/chosen/a.rtf")));
    EXPECT_TRUE(DocumentPicker::openDocument(QStringLiteral("/x/y.txt")));
    EXPECT_EQ(opened, QStringLiteral("/x/y.txt"));
    DocumentPicker::setChooser({});
    DocumentPicker::setOpener({});
}
