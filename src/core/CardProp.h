#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

// One row of the card-type table: how a type of item is named, coloured and drawn, and what the
// writer may do with it.
class CardProp {
public:
    // The groups a card type belongs to; the all-cards and folder rows belong to none.
    enum Group : int { NoGroup = 0, Manuscript = 1, Issue = 2, Supporting = 3 };

    struct Row {
        qint64 itemType;
        const char* label;
        const char* singularLabel;
        const char* pluralLabel;
        const char* untitledTitle;
        double red;
        double green;
        double blue;
        const char* imageName;
        const char* cardImageName;
        // The freedesktop icon drawn for the type on the desktop.
        const char* themeIconName;
        const char* cardBackgroundName;
        bool canCreate;
        bool canFilter;
        Group cardType;
    };

    explicit CardProp(const Row& row);

    qint64 itemType() const { return m_row.itemType; }
    QColor cardColor() const { return QColor::fromRgbF(float(m_row.red), float(m_row.green), float(m_row.blue)); }
    // Text drawn on the type's colour.
    QColor textColor() const { return QColor(Qt::white); }
    QString label() const { return QString::fromUtf8(m_row.label); }
    QString singularLabel() const { return QString::fromUtf8(m_row.singularLabel); }
    QString pluralLabel() const { return QString::fromUtf8(m_row.pluralLabel); }
    QString untitledTitle() const { return QString::fromUtf8(m_row.untitledTitle); }
    QString imageName() const { return QString::fromUtf8(m_row.imageName); }
    QString cardImageName() const { return QString::fromUtf8(m_row.cardImageName); }
    QString cardBackgroundName() const { return QString::fromUtf8(m_row.cardBackgroundName); }
    // The type's icon, and the one for a card's top-left corner.
    QIcon image() const;
    QIcon cardImage() const;
    bool canCreate() const { return m_canCreate; }
    // An editor's own table may withhold a type from new cards.
    void setCanCreate(bool canCreate) { m_canCreate = canCreate; }
    bool canFilter() const { return m_row.canFilter; }
    int cardType() const { return m_row.cardType; }
    // "Manuscript", "Issue" or "Supporting"; a null text for a row without a group.
    QString cardTypeLabel() const;

private:
    QIcon icon(const char* imageName) const;
    static QIcon resourceIcon(const char* imageName);

    Row m_row;
    bool m_canCreate;
};
