#pragma once

#include <QFuture>
#include <QImage>
#include <QList>
#include <QSet>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <memory>

class InkDrawing;
class ManagedObjectContext;
class ProjectItem;
class QTextCursor;
class QTextDocument;

// Joins the Story cards of a folder and all its sub-folders into one manuscript: each sub-folder opens with
// its title as a heading, each card's text is trimmed at its end and followed by the project's scene separator,
// except the last Story card of its folder, which is followed by blank lines. A sketch card stands as the picture
// of its drawing on a line of its own, followed by the separator likewise. Every card's pictures are copied
// into the manuscript under names of their own, so no card can show another's picture. The folder walk keeps
// a visited set: folders moved into each other end the walk instead of the process.
class ManuscriptCompiler {
public:
    static constexpr double HeadingFontSize = 17.5;
    static constexpr double SeparatorFontSize = 14.0;
    // Image pixels per point of a sketch's picture.
    static constexpr qreal SketchImageScale = 3.0;
    static constexpr qint64 SketchMaxPixels = qint64(4096) * 4096;

    // dark: the manuscript is shown on the dark page, so its checkboxes take the dark images.
    ManuscriptCompiler(ManagedObjectContext* context, const QString& projectId, bool dark = false);

    // The manuscript of folderId ("_top" for the whole project).
    std::unique_ptr<QTextDocument> doCompile(const QString& folderId);
    // How many of items are Story cards.
    static int textCardCount(const QList<ProjectItem*>& items);
    // The picture of a drawing: the whole of it at SketchImageScale on white, sized in points as drawn. A null
    // image for an empty drawing.
    static QImage sketchImage(const InkDrawing& drawing);

private:
    void compileFolder(const QList<ProjectItem*>& items);
    void compileItem(ProjectItem* item, bool includeSeparator);
    void getRichText(ProjectItem* item, bool includeSeparator);
    void getSketch(ProjectItem* item, bool includeSeparator);
    std::unique_ptr<QTextDocument> readCardText(ProjectItem* item) const;
    void appendCard(QTextDocument& card);
    void appendText(const QString& text, const QTextCharFormat& charFormat, const QTextBlockFormat& blockFormat);
    void appendSeparator(bool includeSeparator);
    void takeSketchPictures();
    static void trimTrailing(QTextDocument& text);
    void adoptPictures(QTextDocument& card);

    ManagedObjectContext* m_context;
    QString m_projectId;
    bool m_dark;
    QString m_separator;
    bool m_includeBlankScenes = true;
    QTextCharFormat m_headingFormat;
    QTextBlockFormat m_headingBlock;
    QTextCharFormat m_separatorFormat;
    QTextBlockFormat m_separatorBlock;
    QTextBlockFormat m_bodyBlock;
    QSet<QString> m_visited;
    // Sketch pictures drawn side by side while the walk goes on, by resource name; the manuscript takes them
    // before it is handed out.
    QList<std::pair<QString, QFuture<QImage>>> m_pendingSketches;
    std::unique_ptr<QTextDocument> m_result;
    std::unique_ptr<QTextCursor> m_cursor;
};
