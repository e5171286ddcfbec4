#pragma once

#include "dialogs/DialogInputController.h"
#include "dialogs/FloatingEntryAttributes.h"

#include <QSize>
#include <QString>

// Shows the floating input dialog over the key window. Keeps nothing.
class SEKDialogInput {
public:
    static constexpr QSize EntrySize{300, 196};

    SEKDialogInput() = default;

    void show(const QString& title, const QString& label, const QString& placeholder, const QString& initialText,
              DialogInputController::OkAction okAction = {},
              DialogInputController::CancelAction cancelAction = {}) const;
    // The input entry's attributes, built afresh: 300 x 196, kept above the keyboard.
    static FloatingEntryAttributes attributes();
};
