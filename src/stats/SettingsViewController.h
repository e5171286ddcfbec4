#pragma once

#include "platform/BarButtonItem.h"
#include "platform/ViewController.h"

#include <QPointer>
#include <QString>
#include <optional>

class ManagedObject;
class ManagedObjectContext;
class QCheckBox;
class QLabel;
class QLineEdit;

// The "Project Settings" sheet: six controls for the per-project settings the editors and the compiled
// manuscript read. It shows the stored values when it loads and, however the writer leaves it (the close
// button, Escape, the sheet's own close button), writes back in one save only the values that differ from
// those stored then. That save takes the setting records alone, so an open editor's unsaved text is never
// committed with them. A words-per-page entry is a number, alone or followed by a blank and any text ("250
// words"); one that is no page size is refused in the field and never stored.
class SettingsViewController : public ViewController {
    Q_OBJECT

public:
    static inline const QString StoryboardIdentifier = QStringLiteral("settingsView");
    static inline const QString Title = QStringLiteral("Project Settings");
    static inline const QString BackgroundColorHex = QStringLiteral("#F1F1F1");
    static inline const QString BackgroundColorDarkHex = QStringLiteral("#333334");
    static constexpr int FieldHeight = 28;
    static constexpr qint64 MinimumWordsPerPage = 1;
    static inline const QString WordsPerPageRefused =
        QStringLiteral("Words per page must be a whole number from 1 to 100,000. The stored value is kept.");

    explicit SettingsViewController(QWidget* parent = nullptr);
    SettingsViewController(ManagedObjectContext* context, QString projectId, QWidget* parent = nullptr);

    static void registerInStoryboard();
    // Opens the sheet for a project over from, in a navigation controller, as the project list's and the
    // board's "Settings" rows do. Answers the sheet.
    static SettingsViewController* present(ViewController* from, ManagedObjectContext* context,
                                           const QString& projectId);

    void setContext(ManagedObjectContext* context) { m_context = context; }
    void setProjectId(const QString& projectId) { m_projectId = projectId; }
    QString projectId() const { return m_projectId; }

    QLineEdit* wordsPerPageField() const { return m_wordsPerPage; }
    QCheckBox* autoIndentToggle() const { return m_autoIndent; }
    QCheckBox* smartQuotesToggle() const { return m_smartQuotes; }
    QCheckBox* wideGuttersToggle() const { return m_wideGutters; }
    QLineEdit* sceneSeparatorField() const { return m_sceneSeparator; }
    QCheckBox* includeBlankScenesToggle() const { return m_includeBlankScenes; }
    // The message under the words-per-page field; hidden while the entry is a page size.
    QLabel* wordsPerPageMessage() const { return m_wordsPerPageMessage; }
    BarButtonItem* closeButton() const { return m_closeButton; }

    // The field's page size (its leading number), or nullopt while it holds anything else.
    std::optional<qint64> enteredWordsPerPage() const;

    // The close item: dismisses the sheet, which writes the changes.
    void done();

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    struct Values {
        qint64 wordsPerPage;
        bool autoIndent;
        bool smartQuotes;
        bool wideGutters;
        QString sceneSeparator;
        bool includeBlankScenes;
    };

    void buildForm();
    Values storedValues() const;
    void showValues(const Values& values);
    void applyColors();
    void wordsPerPageEdited();
    void writeBack();
    // Sets the key's record unsaved and adds it to records.
    void stage(const QString& key, const QString& value, QList<ManagedObject*>& records);
    void stageBool(const QString& key, bool shown, bool stored, QList<ManagedObject*>& records);

    ManagedObjectContext* m_context = nullptr;
    QString m_projectId;
    QLineEdit* m_wordsPerPage = nullptr;
    QLabel* m_wordsPerPageMessage = nullptr;
    QCheckBox* m_autoIndent = nullptr;
    QCheckBox* m_smartQuotes = nullptr;
    QCheckBox* m_wideGutters = nullptr;
    QLineEdit* m_sceneSeparator = nullptr;
    QCheckBox* m_includeBlankScenes = nullptr;
    QWidget* m_contentView = nullptr;
    QPointer<BarButtonItem> m_closeButton;
    bool m_written = false;
};
