#pragma once

#include "Achievement.h"
#include "platform/BarButtonItem.h"
#include "platform/ViewController.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

// One achievement: its badge, a sentence that it was earned and a way to share it. On the desktop sharing is a
// copy of the sentence and the picture to the clipboard, or the picture saved where the writer chooses.
class AchievementViewController : public ViewController {
    Q_OBJECT

public:
    static inline const QString StoryboardIdentifier = QStringLiteral("achievementView");
    static inline const QString BackgroundColorHex = QStringLiteral("#F1F1F1");
    static inline const QString BackgroundColorDarkHex = QStringLiteral("#333334");
    static inline const QString NewHeader = QStringLiteral("New Achievement");
    static inline const QString ExistingHeader = QStringLiteral("Achievement");
    static inline const QString UntitledTitle = QStringLiteral("Untitled");
    static inline const QString ShareTitle = QStringLiteral("Share…");
    static inline const QString CopyTitle = QStringLiteral("Copy");
    static inline const QString SaveImageTitle = QStringLiteral("Save Image…");
    static inline const QString TipText =
        QStringLiteral("Every badge you earn is kept in Project Statistics, where you can open it again.");
    static inline const QString SaveFailedTitle = QStringLiteral("Unable to Save Image");
    static constexpr int BadgeSide = 220;

    // Answers the file to write the picture to, or an empty text when the writer cancelled; tests replace it.
    using SaveLocationChooser = std::function<QString(QWidget* parent, const QString& suggestedPath)>;

    explicit AchievementViewController(QWidget* parent = nullptr);

    static void registerInStoryboard();
    // Opens the screen for achievement over from, in a navigation controller as a form sheet. existing is true
    // for a badge opened again from the statistics screen, false for one just earned. Answers the screen.
    static AchievementViewController* present(ViewController* from, const Achievement& achievement,
                                              const std::optional<QString>& projectTitle, bool existing);
    static void setSaveLocationChooser(SaveLocationChooser chooser);

    // Kept as a copy: the screen may outlive the manager that made the achievement.
    void setAchievement(const Achievement& achievement) { m_achievement = achievement; }
    const std::optional<Achievement>& achievement() const { return m_achievement; }
    void setProjectTitle(const std::optional<QString>& title) { m_projectTitle = title; }
    bool isExisting() const { return m_existing; }
    void setExisting(bool existing) { m_existing = existing; }

    QString shareText() const;
    QImage shareImage() const;
    // The two ways of sharing: the sentence and the picture to the clipboard; the picture to a file (answers
    // whether it was written).
    void copyToClipboard();
    bool saveImage();

    QLabel* header() const { return m_header; }
    QLabel* imageView() const { return m_imageView; }
    QLabel* text() const { return m_text; }
    // Null once the screen has removed it (an achievement opened again).
    QLabel* tip() const { return m_tip; }
    QPushButton* shareButton() const { return m_shareButton; }

    void done();

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    void applyColors();

    std::optional<Achievement> m_achievement;
    std::optional<QString> m_projectTitle;
    bool m_existing = false;
    QLabel* m_header;
    QLabel* m_imageView;
    QLabel* m_text;
    QLabel* m_tip;
    QPushButton* m_shareButton;
    QPointer<BarButtonItem> m_closeButton;
};
