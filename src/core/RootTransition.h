#pragma once

#include "TransitionOptions.h"

#include <functional>
#include <memory>

class QMainWindow;
class QWidget;

// Replaces a window's root screen (its central widget) with an animated reveal: a picture of the old
// screen slides away (or fades) over the new one. The old screen is never deleted here: it stays a
// hidden child of the window, for whoever kept a reference to bring it back or delete it.
class RootTransition {
public:
    // Runs the appearance hooks of both screens, and calls completion(finished) once the reveal ends
    // (later, never from within this call). options keeps the completion and, weakly, the old root.
    static void setRootViewController(QMainWindow* window, QWidget* controller,
                                      const std::shared_ptr<TransitionOptions>& options,
                                      std::function<void(bool)> completion = {});

private:
    static QWidget* makeCover(QMainWindow* window, QWidget* oldRoot, const QRect& area);
    static void animateCover(QWidget* cover, const TransitionOptions& options, int milliseconds,
                             std::function<void(bool)> done);
};
