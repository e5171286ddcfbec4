#include "platform/archive/TextAttributeCoder.h"

#include <QFont>

#include <cmath>

namespace {

constexpr double MinPointSize = 1.0;
constexpr double MaxPointSize = 1638.0;
constexpr double MaxIndent = 100000.0;
constexpr qsizetype MaxTabStops = 256;

// The font family that fonts fall back to when an archive names none, matching the text system's default.
const char* const DefaultFamily = "Helvetica";

double finiteIn(double value, double low, double high, double fallback)
{
    return std::isfinite(value) ? std::clamp(value, low, high) : fallback;
}

double realField(const ArchiveObject& object, const QString& key, double fallback = 0.0)
{
    ArchiveRef value = object.value(key);
    return value && value->isNumber() ? value->toReal(fallback) : fallback;
}

QString stringField(const ArchiveObject& object, const QString& key)
{
    ArchiveRef value = object.value(key);
    return value && value->kind() == ArchiveObject::Kind::String ? value->toString() : QString();
}

// Face names spell their traits after the family: "Helvetica-BoldOblique", "Georgia-Italic".
qint64 traitsFromName(const QString& name)
{
    const QString face = name.section(u'-', 1).toLower();
    qint64 traits = 0;
    if (face.contains(QLatin1String("bold")) || face.contains(QLatin1String("black")) ||
        face.contains(QLatin1String("heavy"))) {
        traits |= TextAttributeCoder::BoldTrait;
    }
    if (face.contains(QLatin1String("italic")) || face.contains(QLatin1String("oblique"))) {
        traits |= TextAttributeCoder::ItalicTrait;
    }
    return traits;
}

QString faceName(const QString& family, bool bold, bool italic)
{
    if (!bold && !italic) {
        return family;
    }
    QString suffix = bold ? QStringLiteral("Bold") : QString();
    if (italic) {
        suffix += QStringLiteral("Oblique");
    }
    return QString(family).remove(u' ') + u'-' + suffix;
}

} // namespace

QString TextAttributeCoder::familyOf(const QTextCharFormat& format)
{
    // Readers that set the single family property and those that set the list both occur.
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty()) {
        return families.first();
    }
    const QString family = format.stringProperty(QTextFormat::FontFamily);
    return family.isEmpty() ? QString::fromLatin1(DefaultFamily) : family;
}

ArchiveRef TextAttributeCoder::encodeFont(const QTextCharFormat& format)
{
    const QString family = familyOf(format);
    const double size = format.fontPointSize() > 0 ? format.fontPointSize() : 12.0;
    const bool bold = format.fontWeight() >= QFont::DemiBold;
    const bool italic = format.fontItalic();
    return ArchiveObject::instance(
        QStringLiteral("UIFont"),
        {
            {QStringLiteral("UIFontName"), ArchiveObject::string(faceName(family, bold, italic))},
            {QStringLiteral("UIFontFamilyName"), ArchiveObject::string(family)},
            {QStringLiteral("UIFontPointSize"), ArchiveObject::real(size)},
            {QStringLiteral("UIFontTraits"),
             ArchiveObject::integer((bold ? BoldTrait : 0) | (italic ? ItalicTrait : 0))},
            {QStringLiteral("UISystemFont"), ArchiveObject::boolean(false)},
        });
}

bool TextAttributeCoder::applyFont(const ArchiveObject& font, QTextCharFormat& format)
{
    if (font.kind() != ArchiveObject::Kind::Instance) {
        return false;
    }
    const bool appKit = font.isKindOf(QStringLiteral("NSFont"));
    if (!appKit && !font.isKindOf(QStringLiteral("UIFont"))) {
        return false;
    }
    const QString name = stringField(font, appKit ? QStringLiteral("NSName") : QStringLiteral("UIFontName"));
    QString family = appKit ? QString() : stringField(font, QStringLiteral("UIFontFamilyName"));
    if (family.isEmpty()) {
        family = name.section(u'-', 0, 0);
    }
    if (family.isEmpty() || family.startsWith(u'.')) {
        // System fonts carry private names (".SFUI-Regular"); they read as the default family.
        family = QString::fromLatin1(DefaultFamily);
    }
    const double size = realField(font, appKit ? QStringLiteral("NSSize") : QStringLiteral("UIFontPointSize"), 12.0);
    ArchiveRef traitField = appKit ? nullptr : font.value(QStringLiteral("UIFontTraits"));
    const qint64 traits = traitField && traitField->isNumber() ? traitField->toInteger() : traitsFromName(name);
    format.setFontFamilies({family});
    format.setFontPointSize(finiteIn(size, MinPointSize, MaxPointSize, 12.0));
    format.setFontWeight((traits & BoldTrait) ? QFont::Bold : QFont::Normal);
    format.setFontItalic((traits & ItalicTrait) != 0);
    return true;
}

ArchiveRef TextAttributeCoder::encodeColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    QByteArray components = QByteArray::number(rgb.redF(), 'g', 6) + ' ' + QByteArray::number(rgb.greenF(), 'g', 6) +
                            ' ' + QByteArray::number(rgb.blueF(), 'g', 6);
    if (rgb.alphaF() < 1.0) {
        components += ' ' + QByteArray::number(rgb.alphaF(), 'g', 6);
    }
    components += '\0';
    return ArchiveObject::instance(QStringLiteral("UIColor"),
                                   {
                                       {QStringLiteral("UIColorComponentCount"), ArchiveObject::integer(4)},
                                       {QStringLiteral("UIRed"), ArchiveObject::real(rgb.redF())},
                                       {QStringLiteral("UIGreen"), ArchiveObject::real(rgb.greenF())},
                                       {QStringLiteral("UIBlue"), ArchiveObject::real(rgb.blueF())},
                                       {QStringLiteral("UIAlpha"), ArchiveObject::real(rgb.alphaF())},
                                       {QStringLiteral("NSRGB"), ArchiveObject::data(components)},
                                       {QStringLiteral("NSColorSpace"), ArchiveObject::integer(2)},
                                   });
}

namespace {

// "NSRGB" and "NSWhite" hold the components as ASCII decimals separated by spaces, ending in NUL.
QList<double> asciiComponents(const QByteArray& bytes)
{
    QList<double> values;
    const QList<QByteArray> parts = bytes.left(256).replace('\0', ' ').simplified().split(' ');
    for (const QByteArray& part : parts) {
        bool ok = false;
        const double value = part.toDouble(&ok);
        if (!ok || values.size() == 4) {
            break;
        }
        values.append(std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0);
    }
    return values;
}

double unit(double value)
{
    return finiteIn(value, 0.0, 1.0, 0.0);
}

} // namespace

QColor TextAttributeCoder::decodeColor(const ArchiveObject& object)
{
    if (object.kind() != ArchiveObject::Kind::Instance ||
        (!object.isKindOf(QStringLiteral("UIColor")) && !object.isKindOf(QStringLiteral("NSColor")))) {
        return {};
    }
    if (object.value(QStringLiteral("UIRed"))) {
        return QColor::fromRgbF(float(unit(realField(object, QStringLiteral("UIRed")))),
                                float(unit(realField(object, QStringLiteral("UIGreen")))),
                                float(unit(realField(object, QStringLiteral("UIBlue")))),
                                float(unit(realField(object, QStringLiteral("UIAlpha"), 1.0))));
    }
    if (ArchiveRef white = object.value(QStringLiteral("UIWhite")); white && white->isNumber()) {
        const float level = float(unit(white->toReal()));
        return QColor::fromRgbF(level, level, level, float(unit(realField(object, QStringLiteral("UIAlpha"), 1.0))));
    }
    if (ArchiveRef rgb = object.value(QStringLiteral("NSRGB"))) {
        const QList<double> c = asciiComponents(rgb->toData());
        if (c.size() >= 3) {
            return QColor::fromRgbF(float(c[0]), float(c[1]), float(c[2]), float(c.size() > 3 ? c[3] : 1.0));
        }
    }
    if (ArchiveRef white = object.value(QStringLiteral("NSWhite"))) {
        const QList<double> c = asciiComponents(white->toData());
        if (!c.isEmpty()) {
            return QColor::fromRgbF(float(c[0]), float(c[0]), float(c[0]), float(c.size() > 1 ? c[1] : 1.0));
        }
    }
    return {};
}

ArchiveRef TextAttributeCoder::encodeParagraphStyle(const QTextBlockFormat& format)
{
    qint64 alignment = Natural;
    const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignHCenter) {
        alignment = Center;
    } else if (horizontal & Qt::AlignJustify) {
        alignment = Justified;
    } else if (horizontal & (Qt::AlignRight | Qt::AlignTrailing)) {
        alignment = Right;
    } else if (horizontal & Qt::AlignLeft) {
        alignment = Left;
    }
    ArchiveObject::Fields fields{
        {QStringLiteral("NSAlignment"), ArchiveObject::integer(alignment)},
        {QStringLiteral("NSHeadIndent"), ArchiveObject::real(format.leftMargin())},
        {QStringLiteral("NSFirstLineHeadIndent"), ArchiveObject::real(format.leftMargin() + format.textIndent())},
        {QStringLiteral("NSTailIndent"), ArchiveObject::real(-format.rightMargin())},
        {QStringLiteral("NSParagraphSpacingBefore"), ArchiveObject::real(format.topMargin())},
        {QStringLiteral("NSParagraphSpacing"), ArchiveObject::real(format.bottomMargin())},
    };
    if (format.lineHeightType() == QTextBlockFormat::LineDistanceHeight) {
        fields.insert(QStringLiteral("NSLineSpacing"), ArchiveObject::real(format.lineHeight()));
    }
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    if (!tabs.isEmpty()) {
        QList<ArchiveRef> stops;
        for (const QTextOption::Tab& tab : tabs) {
            const qint64 tabAlignment = tab.type == QTextOption::RightTab    ? Right
                                        : tab.type == QTextOption::CenterTab ? Center
                                                                             : Left;
            stops.append(ArchiveObject::instance(
                QStringLiteral("NSTextTab"), {{QStringLiteral("NSLocation"), ArchiveObject::real(tab.position)},
                                              {QStringLiteral("NSAlignment"), ArchiveObject::integer(tabAlignment)}}));
        }
        fields.insert(QStringLiteral("NSTabStops"), ArchiveObject::array(stops));
    }
    return ArchiveObject::instance(QStringLiteral("NSParagraphStyle"), fields);
}

namespace {

Qt::Alignment qtAlignment(qint64 alignment)
{
    switch (alignment) {
    case TextAttributeCoder::Left:
        return Qt::AlignLeft;
    case TextAttributeCoder::Center:
        return Qt::AlignHCenter;
    case TextAttributeCoder::Right:
        return Qt::AlignRight;
    case TextAttributeCoder::Justified:
        return Qt::AlignJustify;
    default:
        return Qt::AlignLeading;
    }
}

QList<QTextOption::Tab> tabStops(const ArchiveObject& style)
{
    QList<QTextOption::Tab> tabs;
    ArchiveRef stops = style.value(QStringLiteral("NSTabStops"));
    if (!stops || stops->kind() != ArchiveObject::Kind::Array) {
        return tabs;
    }
    for (const ArchiveRef& stop : stops->items().mid(0, MaxTabStops)) {
        if (stop->kind() != ArchiveObject::Kind::Instance) {
            continue;
        }
        const double location = finiteIn(realField(*stop, QStringLiteral("NSLocation")), 0.0, MaxIndent, 0.0);
        const qint64 alignment = stop->value(QStringLiteral("NSAlignment"))
                                     ? stop->value(QStringLiteral("NSAlignment"))->toInteger()
                                     : TextAttributeCoder::Left;
        const QTextOption::TabType type = alignment == TextAttributeCoder::Right    ? QTextOption::RightTab
                                          : alignment == TextAttributeCoder::Center ? QTextOption::CenterTab
                                                                                    : QTextOption::LeftTab;
        tabs.append(QTextOption::Tab(location, type));
    }
    return tabs;
}

} // namespace

bool TextAttributeCoder::applyParagraphStyle(const ArchiveObject& style, QTextBlockFormat& format)
{
    if (style.kind() != ArchiveObject::Kind::Instance || !style.isKindOf(QStringLiteral("NSParagraphStyle"))) {
        return false;
    }
    const auto indent = [&](const char* key) {
        return finiteIn(realField(style, QString::fromLatin1(key)), -MaxIndent, MaxIndent, 0.0);
    };
    ArchiveRef alignment = style.value(QStringLiteral("NSAlignment"));
    format.setAlignment(qtAlignment(alignment ? alignment->toInteger(Natural) : Natural));
    const double head = std::max(0.0, indent("NSHeadIndent"));
    format.setLeftMargin(head);
    format.setTextIndent(std::max(0.0, indent("NSFirstLineHeadIndent")) - head);
    // A negative tail indent counts from the trailing margin; a positive one fixes the line length, which a
    // flowing editor has no counterpart for.
    format.setRightMargin(std::max(0.0, -indent("NSTailIndent")));
    format.setTopMargin(std::max(0.0, indent("NSParagraphSpacingBefore")));
    format.setBottomMargin(std::max(0.0, indent("NSParagraphSpacing")));
    const double lineSpacing = indent("NSLineSpacing");
    if (lineSpacing > 0) {
        format.setLineHeight(lineSpacing, QTextBlockFormat::LineDistanceHeight);
    }
    const QList<QTextOption::Tab> tabs = tabStops(style);
    if (!tabs.isEmpty()) {
        format.setTabPositions(tabs);
    }
    return true;
}
