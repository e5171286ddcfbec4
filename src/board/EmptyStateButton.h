#pragma once

#include <QAbstractButton>
#include <QTextDocument>

// The empty project list's call to action: "Click (+) to add a new project" with the plus symbol drawn inline,
// then a note on projects still arriving from the cloud; centred and wrapped to the button's width.
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

    // The title as text, the symbol as U+FFFC and the two line breaks as "\r\n".
    QString titleText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildTitle();

    QTextDocument m_title;
};
