#pragma once

#include "KuvBaseSketch.h"

#include <memory>

class EditorBoardLink;

// The sketch editor as the storyboard makes it for "sketchView", for every sketch card.
class SketchViewController : public KuvBaseSketch {
    Q_OBJECT

public:
    explicit SketchViewController(QWidget* parent = nullptr) : KuvBaseSketch(parent) {}
    // Makes the storyboard build this editor for "sketchView"; each one reaches the board through link.
    static void registerInStoryboard(std::shared_ptr<EditorBoardLink> link);
};
