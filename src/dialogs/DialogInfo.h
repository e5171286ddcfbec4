#pragma once

#include <QSize>
#include <QString>

class ViewController;

// Shows the information dialog as a form sheet from a screen. Keeps nothing.
class DialogInfo {
public:
    static constexpr QSize PreferredContentSize{300, 400};

    DialogInfo() = default;

    void show(const QString& title, const QString& text, ViewController* fromViewController) const;
};
