#pragma once

#include "PvBaseEditor.h"

#include <QPointer>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>

class EditorBoardLink;
class AutoSaveController;
class BarButtonItem;

// The popup editor of every text card that is not a Story card, shown in a sheet that only its own buttons
// close: Cancel and Save, zoom, the title rule of short cards, the crash-recovery snapshot, and the two
// reports that tell the opener whether the card was saved or left as it was.
class PvSummaryEditViewController : public PvBaseEditor {
    Q_OBJECT

public:
    static inline const QString StoryboardIdentifier = QStringLiteral("summaryEditor");
    static inline const QString PrefPreferZoom = QStringLiteral("PrefPreferZoom");
    static inline const QString DarkBackground = QStringLiteral("#252524");
    static inline const QString ZoomInSymbol = QStringLiteral("arrow.up.left.and.arrow.down.right");
    static inline const QString ZoomOutSymbol = QStringLiteral("arrow.down.right.and.arrow.up.left");
    static constexpr QSize PopupSize{540, 620};
    // The sheet's limits, zoomed or not: never below its popup size, never above this.
    static constexpr QSize PopupMaximumSize{1000, 800};

    explicit PvSummaryEditViewController(QWidget* parent = nullptr);
    ~PvSummaryEditViewController() override;

    // Every editor the storyboard makes reaches the board through link.
    static void registerInStoryboard(std::shared_ptr<EditorBoardLink> link);

    // --- Set by the opener before the screen loads.
    QObject* cvController() const { return m_cvController; }
    void setCvController(QObject* opener) { m_cvController = opener; }
    bool isPopup() const { return m_isPopup; }
    void setIsPopup(bool popup) { m_isPopup = popup; }
    // The caller saves the store; this editor only writes into it.
    bool deferSave() const { return m_deferSave; }
    void setDeferSave(bool defer) { m_deferSave = defer; }
    // Run once when the editor closes after a save (or after a saved copy); the card is in the store.
    std::function<void()> cardModified;
    // Run once when the editor closes without saving anything.
    std::function<void()> cardCancelled;

    // --- Actions.
    void confirmCancel();
    void toggleZoom();
    void setZoomed(bool zoomed);
    void textChanged() override;
    void cancelRequested() override { confirmCancel(); }
    void reloadCard(const QString& itemId) override;
    void copyStarted() override { m_copySaved = true; }

    // --- State.
    bool isZoomed() const { return m_isZoomed; }
    bool copySaved() const { return m_copySaved; }
    BarButtonItem* zoomButton() const { return m_zoomButton; }
    QVariantMap autoSaveSnapshot() { return cardSnapshot(); }

signals:
    // The editor has asked to close; emitted once.
    void closed();

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void applyColors() override;

private:
    void takeCardFields();
    void prepareSession();
    void loadCard();
    bool defersSave() const override { return m_deferSave; }
    void leave(bool saved) override { closeEditor(saved); }
    void closeEditor(bool saved);
    void limitSheet();

    QPointer<QObject> m_cvController;
    BarButtonItem* m_zoomButton = nullptr;
    bool m_isPopup = false;
    bool m_deferSave = false;
    bool m_isZoomed = false;
    bool m_copySaved = false;
};
