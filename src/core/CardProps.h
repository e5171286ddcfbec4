#pragma once

#include "CardProp.h"

#include <QList>
#include <QVariant>

// The card-type table: one row per item type, in the order menus and filters show them. Each table
// holds its own rows, so an editor that withholds a type from new cards changes no other screen's table.
class CardProps {
public:
    CardProps();

    const QList<CardProp>& allProps() const { return m_allProps; }
    QList<CardProp>& allProps() { return m_allProps; }
    void setAllProps(const QList<CardProp>& allProps) { m_allProps = allProps; }

    // The row of the item type held in the number; the Story row for a type without a row.
    const CardProp& propForCardType(const QVariant& cardType) const;
    const CardProp& propForIntCardType(qint64 cardType) const;
    // The row of exactly this item type; null when the table has none (a filter such as open issues).
    const CardProp* entryForIntCardType(qint64 cardType) const;
    // A row settable for this table only, such as an editor's Story row.
    CardProp* mutablePropForIntCardType(qint64 cardType);

    // The fixed rows every table starts from.
    static const QList<CardProp>& defaultProps();

private:
    QList<CardProp> m_allProps;
};
