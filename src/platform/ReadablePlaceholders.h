#pragma once

#include <QObject>

class QLineEdit;

// Keeps every text field's placeholder readable on its own field, whatever palette the desktop hands over: a
// desktop may leave the placeholder colour of its light scheme in place under a dark one. Where the placeholder
// stands less than MinimumContrast from the field's base, the field takes its own text colour faded to that
// contrast, in its active and inactive looks; a disabled field keeps the desktop's dimmer look.
class ReadablePlaceholders : public QObject {
    Q_OBJECT

public:
    // What the web's contrast rules ask of body text.
    static constexpr double MinimumContrast = 4.5;

    // Watches the application's fields, those there already and those to come, for as long as it lives.
    explicit ReadablePlaceholders(QObject* parent = nullptr);

    // Gives field a readable placeholder where its palette's is not.
    static void apply(QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
