#pragma once

#include "CheckboxAttachment.h"

// A ticked checkbox in the text.
class QJCheckboxAttachment : public CheckboxAttachment {
public:
    // The box for a file's contents and type, with the image of the given appearance.
    explicit QJCheckboxAttachment(const QByteArray& contents = {}, const QString& fileType = {}, bool dark = false);

    bool isChecked() const override { return true; }
    QString className() const override;
};
