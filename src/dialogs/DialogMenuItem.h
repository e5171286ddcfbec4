#pragma once

#include <QIcon>
#include <QString>
#include <functional>
#include <optional>

// One row of a menu dialog: its text, its icon, and the action that runs with the row's tag when it is
// chosen. A default row has none of these.
class DialogMenuItem {
public:
    using Action = std::function<void(std::optional<QString>)>;

    DialogMenuItem() = default;
    DialogMenuItem(const QString& label, const QIcon& image, std::optional<QString> tag, Action action);

    QString label() const { return m_label; }
    void setLabel(const QString& label) { m_label = label; }
    QIcon image() const { return m_image; }
    void setImage(const QIcon& image) { m_image = image; }
    std::optional<QString> tag() const { return m_tag; }
    void setTag(std::optional<QString> tag) { m_tag = std::move(tag); }
    Action action() const { return m_action; }
    void setAction(Action action) { m_action = std::move(action); }

private:
    QString m_label;
    QIcon m_image;
    std::optional<QString> m_tag;
    Action m_action;
};
