#pragma once

#include "export/DocumentExport.h"
#include "richtext/PvTextView.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class PvBaseEditor;
class QMenu;
class TagMenuController;
class QTimer;

// The commands every rich-text editor offers: the font-size, list and overflow menus, the three list
// commands, the commands on a tapped image, renaming, tags and notes.
class EditorCommands : public QObject {
    Q_OBJECT

public:
    struct FontSizeRow {
        const char* title;
        const char* symbol;
        double scale;
    };
    // The font-size menu, largest first.
    static constexpr FontSizeRow FontSizeRows[] = {{"Largest", "chevron.up", 1.75},
                                                   {"Larger", "chevron.compact.up", 1.5},
                                                   {"Default", nullptr, 1.25},
                                                   {"Smaller", "chevron.compact.down", 1.1},
                                                   {"Smallest", "chevron.down", 1.0}};
    static inline const QString BulletedListTitle = QStringLiteral("Bulleted List");
    static inline const QString NumberedListTitle = QStringLiteral("Numbered List");
    static inline const QString CheckListTitle = QStringLiteral("Check List");
    static inline const QString TitleRow = QStringLiteral("Title");
    static inline const QString TagsRow = QStringLiteral("Tags");
    static inline const QString CardNotesRow = QStringLiteral("Card Notes");
    static inline const QString OpenInRow = QStringLiteral("Open in...");
    static inline const QString ExportRow = QStringLiteral("Export");
    static inline const QString PrintRow = QStringLiteral("Print");
    static inline const QString StatisticsRow = QStringLiteral("Statistics");
    static inline const QString SetTagTitle = QStringLiteral("Set Tag");
    static inline const QString CopyImageTitle = QStringLiteral("Copy Image");
    static inline const QString SaveImageTitle = QStringLiteral("Save to Camera Roll");
    static inline const QString CancelTitle = QStringLiteral("Cancel");
    static inline const QString SavedImageStem = QStringLiteral("Image");
    static inline const QString SaveImageFailedTitle = QStringLiteral("Warning");
    static inline const QString SaveImageFailedMessage = QStringLiteral("The image could not be saved to %1.");
    static inline const QString BulletStart = QStringLiteral("\u2022 ");
    static inline const QString NotesEditorIdentifier = QStringLiteral("cardNotesEditor");
    static inline const QString ImageViewerIdentifier = QStringLiteral("imageViewer");
    // Wait before work behind the progress indicator, so that it is drawn first.
    static constexpr int IndicatorDelayMs = 400;

    explicit EditorCommands(PvBaseEditor& editor);
    ~EditorCommands() override;

    QMenu* fontSizeMenu();
    QMenu* listMenu();
    QMenu* overflowMenu();

    // Shows the progress indicator, waits, then brings the text from the view's own zoom to scale in one
    // step on the GUI thread and stores scale as the writer's choice.
    void changeFontScale(double scale);

    void bulletSelectedLines();
    void numberSelectedLines();
    void checkboxSelectedLines();
    void bulletList();
    void numberedList();
    void checkList();

    // The image at a point of the text view's viewport, selected and offered in the image menu once the
    // double-click interval has passed without a second click.
    bool handleTextTap(const QPoint& viewportPoint);
    // A double click on an image opens it in the image viewer instead of the menu; false when no image is there.
    bool handleTextDoubleClick(const QPoint& viewportPoint);
    // True while a tapped image waits for the double-click interval before its menu shows.
    bool imageMenuPending() const;
    void showImageMenu();
    void copyImage();
    // Into the Pictures folder under a free name ("Image.png", "Image 2.png", ...); the path, or nullopt.
    std::optional<QString> saveImageToCameraRoll();
    void openImageViewer();
    const std::optional<QImage>& selectedTextAttachment() const { return m_selectedImage; }

    void renameCard();
    void showTagMenu();
    void showCardNotes();
    // The export or open-in picker for the text as it stands, then the file.
    void writeCard(DocumentExport::Purpose purpose);
    void printCard();
    void applyTag(const QString& tagId);

    // The first path folder/stem.ext, folder/stem 2.ext, ... that no file takes.
    static QString freeFilePath(const QString& folder, const QString& stem, const QString& extension);

private:
    enum class Marker { Bullet, Number, Checkbox };
    std::optional<QImage> imageAt(const QPoint& viewportPoint) const;
    void markSelectedLines(Marker marker);
    void insertAtCaret(const QString& marker);
    void insertMarker(QTextCursor& cursor, Marker marker, int number);
    int markerLength(Marker marker, int number) const;
    void applyChosenScale();

    PvBaseEditor& m_editor;
    // The last size chosen, and how many choices still wait for their indicator's delay.
    double m_chosenScale = 0;
    int m_pendingScaleChanges = 0;
    std::optional<QImage> m_selectedImage;
    QTimer* m_imageMenuTimer;
    std::unique_ptr<TagMenuController> m_tags;
};
