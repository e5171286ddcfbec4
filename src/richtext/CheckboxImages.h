#pragma once

#include <QImage>
#include <QString>

// The checkbox art of the editors, by resource name. Drawn in code on first use, so no desktop theme or
// image file can be missing.
class CheckboxImages {
public:
    static inline const QString CheckedName = QStringLiteral("checkbox-checked.png");
    static inline const QString CheckedDarkName = QStringLiteral("checkbox-checked-dark.png");
    static inline const QString UncheckedName = QStringLiteral("checkbox-unchecked.png");
    static inline const QString UncheckedDarkName = QStringLiteral("checkbox-unchecked-dark.png");
    // Size of every checkbox image in points.
    static constexpr int Side = 18;

    // The image of that name, or a null image for a name that is none of the four.
    static QImage imageNamed(const QString& name);
    static QString nameFor(bool checked, bool dark);

private:
    static QImage draw(bool checked, bool dark);
};
