#pragma once

#include <memory>

class KuvBaseSketch;
class TagMenuController;

// The sketch editor's overflow commands: the tag menu, the notes sheet and the PNG export. Each is refused
// while the editor saves or closes.
class SketchCommands {
public:
    explicit SketchCommands(KuvBaseSketch& editor);
    ~SketchCommands();

    void showTagMenu();
    void showCardNotes();
    // The drawing at three times its size as PNG, written privately and offered through the export panel under
    // the title made safe for file names ("Untitled" when nothing is left of it).
    void exportPNG();

private:
    KuvBaseSketch& m_editor;
    std::unique_ptr<TagMenuController> m_tags;
};
