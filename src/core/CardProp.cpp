#include "CardProp.h"

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
    // The desktop theme draws the type when it has the icon; our own art under the resources otherwise.
    return QIcon::fromTheme(QString::fromUtf8(m_row.themeIconName), resourceIcon(imageName));
}

QIcon CardProp::resourceIcon(const char* imageName)
{
    // Every cell of a board paints its type: the art is read from the resources once, not once per paint.
    static QHash<QString, QIcon> icons;
    const QString name = QString::fromUtf8(imageName);
    auto found = icons.constFind(name);
    if (found == icons.constEnd())
        found = icons.insert(name, QIcon(QStringLiteral(":/images/") + name));
    return *found;
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
