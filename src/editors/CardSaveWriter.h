#pragma once

#include <QString>
#include <optional>

class ProjectItem;
class ProjectStat;
class PvEditViewController;

// Writes the full editor's card into the store's context (nothing is saved here): the item's fields, the body,
// the cursor, the modification stamps and one writing record. The records a failed attempt left pending are
// reused by the next attempt, so a retry never makes a second card or a second writing record.
class CardSaveWriter {
public:
    explicit CardSaveWriter(PvEditViewController& editor) : m_editor(editor) {}

    // False when the body could not be written; the editor then reports it and stays as it is.
    bool write(const std::optional<QString>& copyTitle);
    // The card this writer inserted, until its save succeeded and forget() was called.
    ProjectItem* insertedCard() const { return m_insertedCard; }
    // After a successful save: later saves write a record of their own.
    void forget();

    // A title that still says nothing of its own: blank, missing, or the untitled title of a type.
    static bool isPlaceholderTitle(const QString& title);
    // Characters as a writer counts them: grapheme clusters, not UTF-16 units.
    static qint64 countCharacters(const QString& text);

private:
    void detachIfDeletedElsewhere();
    QString folderThatExists() const;
    ProjectItem* createCard(const QString& text, const std::optional<QString>& copyTitle);
    QString titleForExistingCard(ProjectItem* item, const QString& text);
    void addWritingRecord(const QString& itemId, qint64 wordCount);

    PvEditViewController& m_editor;
    ProjectItem* m_insertedCard = nullptr;
    ProjectStat* m_pendingStat = nullptr;
};
