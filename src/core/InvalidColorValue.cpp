#include "InvalidColorValue.h"

InvalidColorValue::InvalidColorValue(const QString& value)
    : m_reason(QStringLiteral("Color value %1 is invalid.  It should be a hex value of the form #RBG, #ARGB, "
                              "#RRGGBB, or #AARRGGBB")
                   .arg(value)),
      m_what(m_reason.toStdString())
{
}
