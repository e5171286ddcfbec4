#pragma once

#include "RichTextDocumentFormat.h"

#include <QColor>
#include <QList>
#include <QTextCharFormat>
#include <QTextEdit>
#include <functional>
#include <memory>
#include <optional>

class CheckboxTextObject;

// The text view under every rich-text editor: colour scheme, working size, normalisation of whatever is typed,
// pasted or loaded, search matches with stepping, checkbox lines and toggling, and undoable replacing.
class PvTextView : public QTextEdit {
    Q_OBJECT

public:
    static inline const QString kEditorForeground = QStringLiteral("#000000");
    static inline const QString kEditorBackground = QStringLiteral("#FFFFFF");
    static inline const QString kEditorDarkForeground = QStringLiteral("#DEDEDF");
    static inline const QString kEditorDarkBackground = QStringLiteral("#252524");
    static inline const QString ZoomKey = QStringLiteral("PrefEditorFontSize");
    static constexpr double DefaultZoom = 1.25;
    static constexpr double MaxZoom = 4.0;

    // A piece of text with one format, the unit of the text handed to replace.
    struct Run {
        QString text;
        QTextCharFormat format;
    };
    using AttributedText = QList<Run>;
    struct Range {
        int location = 0;
        int length = 0;
        bool operator==(const Range&) const = default;
    };

    explicit PvTextView(QWidget* parent = nullptr);
    ~PvTextView() override;

    // Called with true when the view takes the focus, false when it gives it up.
    std::function<void(bool)> firstResponderChange;
    // When on, every edited run is brought to the working size in the base family.
    bool adjustFonts = false;
    // When positive, the working size in points whatever the zoom.
    double fixedFontSize = 0.0;

    double fontSize() const { return m_fontSize; }
    // A zoom that is not a number in (0, 4] falls back to the default, or 4 above it.
    static double sanitisedZoom(const QVariant& zoom);
    qreal workingSize() const;

    // Room shown below every line (0: none). Display only: it never reaches a stored, copied or exported text.
    // A change drops the undo history, so it is set before the writer starts.
    qreal lineSpacing() const { return m_lineSpacing; }
    void setLineSpacing(qreal spacing);

    // Colour scheme.
    bool isDarkMode() const { return m_dark; }
    QColor fgColor() const { return m_fg; }
    QColor bgColor() const { return m_bg; }
    void applyColorScheme(bool dark);

    // Stored documents.
    std::optional<QByteArray> getData(std::optional<double> scale) const;
    RichTextDocumentFormat::LoadStatus loadFrom(const QByteArray& data, bool adjust = true);
    RichTextDocumentFormat::LoadStatus loadFromRTFData(const QByteArray& data, bool adjust);
    RichTextDocumentFormat::LoadStatus loadFromDataForPrint(const QByteArray& data);
    // Shows a document built elsewhere (the compiled manuscript) as it is; the view takes it over.
    void setAttributedText(std::unique_ptr<QTextDocument> text);

    // Scaling.
    void scaleContentInline(double zoom, bool deScale);
    // Brings the shown text from the view's own zoom to zoom in one pass.
    void rescaleTo(double zoom);
    std::unique_ptr<QTextDocument> scaleContent(const QTextDocument& text, double zoom, bool deScale);

    // Editing.
    // Runs an edit the writer types: it joins the undo step of the typing just before it when nothing else
    // happened in between (no command, no undo, no move of the caret); otherwise it starts a step of its own.
    void typeEdit(const std::function<void()>& edit);
    void replace(Range range, const std::optional<AttributedText>& text, Range select);
    AttributedText makeUncheckedCheckboxStr(bool newline, bool tab) const;
    // The checkbox at position, toggled in one undo step; false when none is there.
    bool toggleCheckboxAt(int position);
    // Sizes every image for a line of the given width.
    void fitImages(qreal lineWidth, int from = 0, int to = -1);

    // Search.
    QString regexQuery() const { return m_regexQuery; }
    void setRegexQuery(const QString& pattern);
    const QList<Range>& regexMatches() const { return m_matches; }
    int currentHit() const { return m_currentHit; }
    int hitCount() const { return int(m_matches.size()); }
    bool hitCanGoBack() const { return m_currentHit > 0; }
    bool hitCanGoForward() const { return m_currentHit < hitCount() - 1; }
    void previousHit();
    void nextHit();

    // Room kept free around the text inside the view (the editors' gutters).
    void setTextInsets(const QMargins& insets) { setViewportMargins(insets); }
    QMargins textInsets() const { return viewportMargins(); }

    // Plain text helpers over the document, paragraph ends read as "\n".
    int textLength() const;
    QChar characterAt(int position) const;

signals:
    // The writer changed the text or its formats (typing, pasting, lists, checkboxes, undo); never sent for
    // the view's own loading, sizing, recolouring or rescaling.
    void textEdited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void adoptDocument(std::unique_ptr<QTextDocument> document);
    // Shows text with lineSpacing(); text is about to be shown, so its undo history goes.
    void showSpacing(QTextDocument& text);
    RichTextDocumentFormat::LoadStatus showLoaded(RichTextDocumentFormat::LoadResult result);
    RichTextDocumentFormat::LoadOptions loadOptions(bool adjust) const;
    void onContentsChange(int position, int removed, int added);
    void normaliseRange(int from, int to);
    void removeStrayObjectCharacters(int from, int to);
    void detachPlainCharacters(int from, int to);
    void updateMatches(int position, int removed, int added);
    QList<Range> scanMatches(int from, int to) const;
    void refreshMatches();
    void showHit();
    void highlightMatches();
    qreal lineWidth() const;
    int checkboxAt(const QPoint& viewportPoint) const;
    void pastePlainText(const QString& text);
    // Recolours the runs that carry a colour of their own (handed-in text); the writer's undo steps are left
    // alone, as recolouring is no edit.
    void recolourCarriedRuns();

    CheckboxTextObject* m_checkboxes = nullptr;
    double m_fontSize = DefaultZoom;
    qreal m_lineSpacing = 0;
    bool m_dark = false;
    QColor m_fg;
    QColor m_bg;
    QString m_regexQuery;
    QList<Range> m_matches;
    int m_currentHit = -1;
    bool m_processing = false;
    // Where typing left the text: its revision and the caret. Typing there again continues the same step.
    int m_typedRevision = -1;
    int m_typedPosition = -1;
};
