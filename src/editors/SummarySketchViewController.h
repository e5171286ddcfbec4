#pragma once

#include "KuvBaseSketch.h"

// The sketch editor of a popup; everything it does is the base's, and nothing makes one yet.
class SummarySketchViewController : public KuvBaseSketch {
public:
    explicit SummarySketchViewController(QWidget* parent = nullptr) : KuvBaseSketch(parent) {}
};
