#include "DialogMenuItem.h"

DialogMenuItem::DialogMenuItem(const QString& label, const QIcon& image, std::optional<QString> tag, Action action)
    : m_label(label), m_image(image), m_tag(std::move(tag)), m_action(std::move(action))
{
}
