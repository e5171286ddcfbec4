#include "NewCardFormats.h"

#include "core/CardProps.h"

#include <array>

QList<QList<KUVDocFormat>> NewCardFormats::cardPropsToPickerArray(const CardProps& cardProps)
{
    const std::array<int, 3> groups = {CardProp::Manuscript, CardProp::Issue, CardProp::Supporting};
    QList<QList<KUVDocFormat>> sections;
    for (int group : groups) {
        QList<KUVDocFormat> section;
        for (const CardProp& prop : cardProps.allProps()) {
            // Neither the all-cards row nor the folder row is a card one can make.
            if (!prop.canCreate() || prop.itemType() == 0 || prop.cardType() != group)
                continue;
            section.append({prop.label(), {}, prop.itemType(), prop.cardImage(), prop.cardTypeLabel()});
        }
        if (!section.isEmpty())
            sections.append(section);
    }
    return sections;
}
