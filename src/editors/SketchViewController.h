#pragma once

#include "KuvBaseSketch.h"

// The sketch editor as the storyboard makes it for "sketchView", for every sketch card.
class SketchViewController : public KuvBaseSketch {
    Q_OBJECT

public:
    explicit SketchViewController(QWidget* parent = nullptr) : KuvBaseSketch(parent) {}
    // Makes the storyboard build this editor for "sketchView".
    static void registerInStoryboard();
};
