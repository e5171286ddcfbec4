#pragma once

#include <QAbstractButton>
#include <QTextDocument>

// An empty screen's call to action: "Click (+)" and what a click adds, with the plus symbol drawn inline, then an
// optional note below; centred and wrapped to the button's width. Made without texts it is the empty project
// list's: "Click (+) to add a new project" and the note on projects still arriving from the cloud.
class EmptyStateButton : public QAbstractButton {
    Q_OBJECT

public:
    static inline const QString LeadText = QStringLiteral("Click ");
    static inline const QString ActionText = QStringLiteral(" to add a new project");
    static inline const QString CloudNote =
        QStringLiteral("(If you already have projects in iCloud, they may take a minute or two to appear");
    static inline const QString SymbolName = QStringLiteral("plus.circle");
    static constexpr int FontSize = 17;

    explicit EmptyStateButton(QWidget* parent = nullptr);
    // "Click (+)" + actionText, then note two line breaks below when it is not empty.
    EmptyStateButton(QString actionText, QString note, QWidget* parent = nullptr);

    // The title as text, the symbol as U+FFFC and each line break as "\r\n".
    QString titleText() const;
    // Where the plus symbol is drawn, in the button's coordinates.
    QRect symbolRect() const;
    // The height the title takes when wrapped to width.
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildTitle();
    qreal titleTop() const;

    QString m_actionText;
    QString m_note;
    QTextDocument m_title;
    int m_symbolSide = 0;
};
