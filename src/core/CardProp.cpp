#include "CardProp.h"

#include "CardTypeIconEngine.h"
#include "platform/SymbolIcons.h"

#include <QHash>

CardProp::CardProp(const Row& row) : m_row(row), m_canCreate(row.canCreate)
{
}

QIcon CardProp::image() const
{
    return icon(m_row.imageName);
}

QIcon CardProp::cardImage() const
{
    return icon(m_row.cardImageName);
}

QIcon CardProp::icon(const char* imageName) const
{
    // Every cell of a board paints its type: each icon is made once and keeps the tiles it has drawn.
    static QHash<QString, QIcon> icons;
    const QString key = QString::fromUtf8(imageName);
    auto found = icons.constFind(key);
    if (found != icons.constEnd())
        return *found;
    SymbolIcons::ensureTheme();
    // The desktop theme gives the glyph when it has it; our own art under the resources otherwise.
    const QIcon glyph = QIcon::fromTheme(QString::fromUtf8(m_row.themeIconName), resourceIcon(imageName));
    return *icons.insert(key, QIcon(new CardTypeIconEngine(glyph, cardColor(), textColor())));
}

QIcon CardProp::resourceIcon(const char* imageName)
{
    return QIcon(QStringLiteral(":/images/") + QString::fromUtf8(imageName));
}

QString CardProp::cardTypeLabel() const
{
    switch (m_row.cardType) {
    case Manuscript:
        return QStringLiteral("Manuscript");
    case Issue:
        return QStringLiteral("Issue");
    case Supporting:
        return QStringLiteral("Supporting");
    case NoGroup:
        break;
    }
    return QString();
}
