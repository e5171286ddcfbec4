#pragma once

#include "platform/BarButtonItem.h"
#include "platform/ViewController.h"

#include <QColor>
#include <QPointer>
#include <functional>

class QTextEdit;

// The small sheet that edits one card's free-text notes. It knows nothing of the store: the opener hands in the
// notes and a callback, and the callback receives the whole text once, on Save. Nothing typed is ever dropped
// without the writer's word: Cancel, Escape and the sheet's close button all ask before discarding a change.
class CardNotesViewController : public ViewController {
    Q_OBJECT

public:
    static inline const QString StoryboardIdentifier = QStringLiteral("cardNotesEditor");
    static inline const QString Title = QStringLiteral("Card Notes");
    static inline const QString SaveTitle = QStringLiteral("Save");
    static inline const QString ClearTitle = QStringLiteral("Clear");
    static inline const QString CancelTitle = QStringLiteral("Cancel");
    static inline const QString ClearAlertTitle = QStringLiteral("Clear Note");
    static inline const QString ClearAlertMessage =
        QStringLiteral("Are you sure you want to clear the contents of this note?");
    static inline const QString YesTitle = QStringLiteral("Yes");
    static inline const QString DiscardAlertTitle = QStringLiteral("Discard Changes");
    static inline const QString DiscardAlertMessage =
        QStringLiteral("You have made changes to this note.  Are you sure you want to discard them?");
    static inline const QString DiscardTitle = QStringLiteral("Discard");
    // The bar's background, Display P3 (1.0, 0.909, 0.325).
    static QColor barColor();
    static constexpr double FontSize = 17;
    static constexpr int InsetTop = 6;
    static constexpr int InsetLeft = 12;
    static constexpr int InsetBottom = 12;
    static constexpr int InsetRight = 12;

    explicit CardNotesViewController(QWidget* parent = nullptr);

    static void registerInStoryboard();

    QString notes() const { return m_notes; }
    // Shown when the sheet loads; set before presenting.
    void setNotes(const QString& notes) { m_notes = notes; }
    void setNotesModified(std::function<void(const QString&)> notesModified)
    {
        m_notesModified = std::move(notesModified);
    }

    QTextEdit* editor() const { return m_editor; }
    BarButtonItem* saveButton() const { return m_saveButton; }
    BarButtonItem* clearButton() const { return m_clearButton; }
    BarButtonItem* cancelButton() const { return m_cancelButton; }
    bool isModified() const { return m_modified; }

    void save();
    void clear();
    void cancel();
    void presentationDidAttemptToDismiss() override;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

private:
    void textViewDidChange();
    void markModified();
    void applyInset();
    void showText(const QString& text);
    // The screen whose presentation Escape and the close button address: the navigation controller holding
    // this sheet, or the sheet itself.
    ViewController* presentationHost();

    QTextEdit* m_editor;
    QString m_notes;
    std::function<void(const QString&)> m_notesModified;
    QPointer<BarButtonItem> m_saveButton;
    QPointer<BarButtonItem> m_clearButton;
    QPointer<BarButtonItem> m_cancelButton;
    bool m_modified = false;
    // True while the text is set by the sheet itself, which is no change of the writer's.
    bool m_settingText = false;
    bool m_finished = false;
};
