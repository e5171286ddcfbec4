#pragma once

#include <QVariantMap>

class KuvBaseSketch;

// The sketch editor's crash-recovery snapshot: the card as it stands under the snapshot keys, with the drawing's
// own bytes as its content, and applying one the writer chose to restore.
class SketchSnapshot {
public:
    // The snapshot of the editor; empty until the drawing is shown and while it could not be read.
    static QVariantMap take(const KuvBaseSketch& editor);
    // Puts the snapshot's title, tag, notes, type and drawing into the editor, as a new card when asked to
    // (asNewCard) or when the stored card was saved after the snapshot was taken. A snapshot whose drawing cannot be
    // shown is said to be unreadable, leaves the editor as loaded and answers false.
    static bool apply(KuvBaseSketch& editor, const QVariantMap& snapshot, bool asNewCard = false);
    // The snapshot holds a drawing that can be read, and the card type it is kept as.
    static bool hasReadableDrawing(const QVariantMap& snapshot);
};
