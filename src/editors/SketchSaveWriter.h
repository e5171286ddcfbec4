#pragma once

#include <QString>
#include <optional>

class KuvBaseSketch;
class ProjectItem;

// Writes the sketch editor's card into the store's context (nothing is saved here): a new card's record, its
// title and search terms when the title changed, the drawing with its summary image when the drawing changed,
// the tag, the notes and the modification stamps. A new card a failed attempt left pending is reused by the
// next attempt, so a retry never makes a second card; a card another process deleted is saved as a new one.
class SketchSaveWriter {
public:
    enum class Result { Written, TooLarge };

    explicit SketchSaveWriter(KuvBaseSketch& editor) : m_editor(editor) {}

    Result write(const std::optional<QString>& copyTitle);
    // The card this writer inserted, until its save succeeded and forget() was called.
    ProjectItem* insertedCard() const { return m_insertedCard; }
    void forget() { m_insertedCard = nullptr; }

private:
    // A card another process deleted while it was open is let go, so that the save makes a new one.
    void detachIfDeletedElsewhere();
    ProjectItem* createCard();

    KuvBaseSketch& m_editor;
    ProjectItem* m_insertedCard = nullptr;
};
