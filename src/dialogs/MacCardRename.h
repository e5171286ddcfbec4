#pragma once

#include "dialogs/iCloudAwareDialog.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class ManagedObjectContext;
class ProjectItem;
class QWidget;
class ViewController;

// Renames a card or a folder through an alert with one text field. On OK the title, the search terms and
// the modification stamps up the folder chain are written and saved, unless the caller defers the save and
// applies the title itself from the completion.
class MacCardRename : public iCloudAwareDialog {
public:
    // The typed title and the identifier of the renamed item (empty without an item), so that the caller
    // finds the item by identity rather than by a row that may have moved meanwhile.
    using Completion = std::function<void(const QString& newTitle, const QString& itemId)>;

    static inline const QString CardTitle = QStringLiteral("Card Title");
    static inline const QString CardMessage = QStringLiteral("Enter the title for this card.");
    static inline const QString FolderTitle = QStringLiteral("Folder Title");
    static inline const QString FolderMessage = QStringLiteral("Enter the title for this folder.");
    static inline const QString OkTitle = QStringLiteral("OK");
    static inline const QString CancelTitle = QStringLiteral("Cancel");

    static std::shared_ptr<MacCardRename> create(ViewController* controller, ManagedObjectContext* context);

    // Shows the alert for item (nullptr opens it empty, with the card wording). Cancel never calls completion.
    // A caller that defers the save may hold a title it has not stored yet: given, the field starts with it.
    void renameCard(ProjectItem* item, bool deferSave, Completion completion = {},
                    const std::optional<QString>& currentTitle = std::nullopt);
    // Writes and saves the new title; nothing at all with deferSave or without an item.
    void handleRename(ProjectItem* item, const QString& newTitle);

    // The write shared with the input-dialog rename: title, stamps, search terms from the title and the
    // card's document text, then a save that reports a failure over presenter.
    static void writeTitle(ManagedObjectContext* context, ProjectItem* item, const QString& newTitle,
                           QWidget* presenter);
    // Whether OK may be pressed: text not blank after trimming blanks and tabs, and unlike originalTitle.
    static bool acceptsTitle(const QString& text, const QString& originalTitle);

    bool deferSave() const { return m_deferSave; }
    QString originalTitle() const { return m_originalTitle; }

private:
    MacCardRename(ViewController* controller, ManagedObjectContext* context);

    void renameAlertTextFieldDidChange();
    void confirm(ProjectItem* item, const Completion& completion);

    bool m_deferSave = false;
    QPointer<ViewController> m_parentController;
    QPointer<ManagedObjectContext> m_managedObjectContext;
    QString m_originalTitle;
};
