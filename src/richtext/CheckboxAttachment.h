#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QTextCharFormat>
#include <memory>

// What the checked and the unchecked checkbox share: the file they were made from, an image chosen once from
// the appearance at creation, and a box that sits `descender` points below the baseline.
class CheckboxAttachment {
public:
    // Where a checkbox keeps the name of the image it was given, so that the view draws the box it was made with.
    static constexpr int ImageNameProperty = QTextFormat::UserProperty + 120;
    static constexpr double DefaultDescender = -4.0;

    virtual ~CheckboxAttachment() = default;

    virtual bool isChecked() const = 0;
    // The archived class name of this kind of box.
    virtual QString className() const = 0;

    const QByteArray& contents() const { return m_contents; }
    const QString& fileType() const { return m_fileType; }
    QString imageName() const { return m_imageName; }
    QImage image() const;
    // Gives the box another of the checkbox images, as the view does for a box it inserts.
    void setImageName(const QString& name) { m_imageName = name; }
    double descender() const { return m_descender; }
    void setDescender(double descender) { m_descender = descender; }
    QRectF bounds() const { return m_bounds; }

    // Bounds for a line fragment height: the image's own size, or 90 % of the height for a taller image,
    // starting at the descender.
    QRectF scaleImageSizeToHeight(float height);

    // The character format that carries this box on its U+FFFC.
    QTextCharFormat format() const;
    // Whether the format carries a checked or an unchecked box.
    static bool isCheckboxFormat(const QTextFormat& format);
    // The box a format carries, made afresh with the image for the given appearance; nullptr for any other format.
    static std::unique_ptr<CheckboxAttachment> fromFormat(const QTextFormat& format, bool dark);

protected:
    CheckboxAttachment(const QByteArray& contents, const QString& fileType, const QString& imageName);

private:
    QByteArray m_contents;
    QString m_fileType;
    QString m_imageName;
    double m_descender = DefaultDescender;
    QRectF m_bounds;
};
