#pragma once

#include "CheckboxAttachment.h"

// An empty checkbox in the text.
class QJUncheckedCheckboxAttachment : public CheckboxAttachment {
public:
    // The box for a file's contents and type, with the image of the given appearance.
    explicit QJUncheckedCheckboxAttachment(const QByteArray& contents = {}, const QString& fileType = {},
                                           bool dark = false);

    bool isChecked() const override { return false; }
    QString className() const override;
};
