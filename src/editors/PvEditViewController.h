#pragma once

#include "PvBaseEditor.h"

#include <QDateTime>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class EditorBoardLink;
class AchievementsManager;
class AutoSaveController;
class BarButtonItem;
class ProjectStat;

// The full-window editor in which Story cards are written: Cancel and Save, the word count, the stretch of
// writing and its record, the crash-recovery snapshot, wide gutters, saving as a copy and the daily-average
// check. It leaves by dismissing the navigation controller it was presented in.
class PvEditViewController : public PvBaseEditor {
    Q_OBJECT

public:
    static inline const QString StoryboardIdentifier = QStringLiteral("editView");
    static inline const QString StatisticsIdentifier = QStringLiteral("statisticsView");
    // %1 is the card's whole word count.
    static inline const QString WordsFormat = QStringLiteral("Words: %1");
    static inline const QString WordsToolTip = QStringLiteral("Show Statistics");
    // Text insets on the desktop.
    static constexpr int DesktopPad = 32;

    explicit PvEditViewController(QWidget* parent = nullptr);
    ~PvEditViewController() override;

    // Makes the storyboard build this editor for "editView"; each one reaches the board through link.
    static void registerInStoryboard(std::shared_ptr<EditorBoardLink> link);

    // --- Set by the board before the screen loads.
    // The board's achievements for the open project; may be null.
    AchievementsManager* achievementsManager() const { return m_achievementsManager; }
    void setAchievementsManager(AchievementsManager* manager) { m_achievementsManager = manager; }

    // --- Actions.
    void confirmCancel();
    void presentStatistics();
    // The overflow menu's "Statistics" and a click on the word count.
    bool offersStatistics() const override { return true; }
    void showStatistics() override;
    void textChanged() override;
    void cancelRequested() override { confirmCancel(); }
    void reloadCard(const QString& itemId) override;

    // --- State.
    std::optional<qint64> startWordCount() const { return m_startWordCount; }
    QDateTime startDateTime() const { return m_startDateTime; }
    bool useGutters() const { return m_useGutters; }
    // What the snapshot timer writes: the card as it stands, its text archived at base size.
    QVariantMap autoSaveSnapshot() { return cardSnapshot(); }
    // The card's words as the status item shows them.
    qint64 wordCount() const { return m_wordCount; }
    void updateWordCount();
    void updateTextInsets(int width, int height);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void resetEditingState();
    void loadCard();
    // The save also stops the commands of the full editor, and records the stretch of writing.
    void setSaving(bool saving) override;
    bool writeCard(const std::optional<QString>& copyTitle) override;
    void leave(bool) override { closeEditor(); }
    void closeEditor();
    void checkDailyAverage(qint64 wordsGained);
    void beginDailyAverageCheck();

    AchievementsManager* m_achievementsManager = nullptr;
    std::optional<qint64> m_startWordCount;
    QDateTime m_startDateTime;
    bool m_useGutters = true;
    qint64 m_wordCount = 0;
};
