#pragma once

#include "EditorFixture.h"
#include "editors/KuvBaseSketch.h"
#include "editors/SketchDrawingDocument.h"
#include "platform/FormSheetDialog.h"
#include "platform/ink/InkCanvas.h"
#include "platform/ink/InkReader.h"
#include "platform/ink/InkWriter.h"

#include <QLineEdit>
#include <QScrollArea>

// The editor fixture's project with one sketch card besides the text cards, and the sketch editor made from the
// storyboard and presented as the board presents it.
class SketchFixture : public EditorFixture {
protected:
    static inline const QString SketchId = QStringLiteral("SKETCH-1");
    static inline const QString SketchTitle = QStringLiteral("Harbour map");

    SketchFixture()
    {
        UserDefaults::standard().removeObject(KuvBaseSketch::PreferZoomKey);
        ProjectItem* card = addItem(SketchId, ProjectItemTypes::Person, SketchTitle, FolderId, 4);
        card->setItemFormat(ProjectItemFormats::Sketch);
        auto* document = context()->insertNew<ProjectItemDocument>();
        document->setUniqueIdentifier(QStringLiteral("SKETCH-DOC"));
        document->setProjectId(ProjectId);
        document->setParentItemId(SketchId);
        document->setMimetype(QStringLiteral("application/x-vornquil-opaque-drawing"));
        document->setContent(storedDrawingBytes());
        EXPECT_FALSE(context()->save());
    }
    ~SketchFixture() override
    {
        AutoSaveController::deleteAutoSaveWithProjectId(ProjectId, false);
        UserDefaults::standard().removeObject(KuvBaseSketch::PreferZoomKey);
    }

    // The stored card's drawing: one stroke across the top left.
    static QByteArray storedDrawingBytes()
    {
        InkDrawing drawing;
        InkStroke stroke(InkKind::Pen, Qt::black, 4.0f);
        stroke.append(InkPoint{20, 20, 1, 0});
        stroke.append(InkPoint{120, 60, 1, 0.1f});
        drawing.append(stroke);
        return *InkWriter::encode(drawing);
    }

    // The sketch editor for cardId (empty: a new card of type), shown and loaded.
    KuvBaseSketch* openSketch(const QString& cardId = SketchId, const std::optional<QVariantMap>& snapshot = {},
                              PresentationStyle style = PresentationStyle::FullScreen,
                              qint64 type = ProjectItemTypes::Person)
    {
        auto* editor =
            required(dynamic_cast<KuvBaseSketch*>(Storyboard::instantiate(KuvBaseSketch::StoryboardIdentifier)),
                     "the storyboard's sketch editor");
        editor->setManagedObjectContext(context());
        editor->setCurrentObject(cardId.isEmpty() ? nullptr : DbHelpers::getItem(context(), cardId));
        editor->setCurrentProjectId(ProjectId);
        editor->setCurrentFolderId(FolderId);
        editor->setCurrentItemType(type);
        editor->setAutoSaveData(snapshot);
        editor->setIsPopup(style == PresentationStyle::FormSheet);
        editor->setCardModified([this] { ++modifiedCalls; });
        editor->addedRecord = [this](ProjectItem* item) {
            added.append(item);
        };
        navigation = new NavigationController(editor);
        rootScreen()->present(navigation, false, {}, style);
        EXPECT_TRUE(waitFor([editor] { return editor->contentLoaded(); }));
        return editor;
    }

    // A pen stroke through points of the canvas, with the mouse.
    static void draw(KuvBaseSketch* editor, const QList<QPoint>& points)
    {
        InkCanvas* canvas = editor->canvasView();
        QTest::mousePress(canvas, Qt::LeftButton, {}, points.first());
        for (const QPoint& point : points.mid(1))
            QTest::mouseMove(canvas, point);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, points.last());
    }
    static void typeTitle(KuvBaseSketch* editor, const QString& text)
    {
        editor->titleView()->setFocus();
        editor->titleView()->end(false);
        QTest::keyClicks(editor->titleView(), text);
    }
    ProjectItemDocument* documentOf(const QString& itemId) { return DbHelpers::getItemDocument(context(), itemId); }

    int modifiedCalls = 0;
};
