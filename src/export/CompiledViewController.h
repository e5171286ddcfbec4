#pragma once

#include "DocumentExport.h"
#include "platform/ViewController.h"

#include <QColor>
#include <QPointer>
#include <memory>

class ManagedObjectContext;
class PvTextView;
class QMenu;
class QTextDocument;
class QToolBar;
class QToolButton;

// The manuscript of a folder, read-only in the rich-text view at its own text scale and colours, written out
// as Word, RTF, Apple RTF or plain text through Export or Open in. The board makes it with the identifier
// "compiledView" and sets the context, project, folder and folder title before showing it.
class CompiledViewController : public ViewController {
    Q_OBJECT

public:
    static inline const QString Identifier = QStringLiteral("compiledView");
    static inline const QString FontSizeKey = QStringLiteral("PrefCompiledFontSize");
    static inline const QString CompilingStatus = QStringLiteral("Compiling");
    static inline const QString DarkForeground = QStringLiteral("#DEDEDF");
    static inline const QString DarkBackground = QStringLiteral("#252524");
    static inline const QString LightForeground = QStringLiteral("#000000");
    static inline const QString LightBackground = QStringLiteral("#FFFFFF");
    static constexpr double LineSpacing = 8.0;
    static constexpr int VerticalGutter = 32;
    static constexpr int NarrowGutter = 20;
    static constexpr int WideGutterExtra = 8;
    static constexpr int FormatDelayMs = DocumentExport::WorkDelayMs;

    explicit CompiledViewController(QWidget* parent = nullptr);
    ~CompiledViewController() override;

    static void registerInStoryboard();

    ManagedObjectContext* managedObjectContext = nullptr;
    QString projectId;
    QString folderId;
    QString folderTitle;

    PvTextView* compiledView() const { return m_view; }
    QToolBar* toolbar() const { return m_toolbar; }
    QString exportPath() const { return m_exportPath; }
    QColor fgColor() const { return m_fg; }
    QColor bgColor() const { return m_bg; }

    // The compiled manuscript, at base size.
    std::unique_ptr<QTextDocument> doCompile();
    // The title files are named after: the folder title, shortened.
    QString getTitle() const;

    void exportButtonPressed();
    void openInButtonPressed();
    // Writes the manuscript in the picker row's type (Export: through the save panel; Open in: Downloads).
    void exportManuscript(int row);
    void openManuscriptInApplication(int row);
    void backButtonPressed();
    void closeButtonPressed();
    void setScaleFont(double scale);
    QMenu* getFontMenu();
    void setDarkMode();
    // Side insets for a view size: wide gutters in a landscape window when the project asks for them.
    QMargins gutters(const QSize& size) const;
    void setupGutters(const QSize& size);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showCompiled();
    static void applyLineSpacing(QTextDocument& text);
    void applyGutters(QTextDocument& text, const QSize& size) const;
    std::function<void(const std::optional<QString>&)> rememberPath();

    PvTextView* m_view = nullptr;
    QToolBar* m_toolbar = nullptr;
    QToolButton* m_fontButton = nullptr;
    QColor m_fg;
    QColor m_bg;
    QString m_exportPath;
    bool m_wideGutters = true;
};
