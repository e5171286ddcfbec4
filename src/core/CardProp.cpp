#include "CardProp.h"

CardProp::CardProp(const Row& row)
    : m_row(row)
    , m_canCreate(row.canCreate)
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
    return QIcon::fromTheme(
        QString::fromUtf8(m_row.themeIconName), QIcon(QStringLiteral(":/images/") + QString::fromUtf8(imageName)));
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
