#include "StoreValue.h"

#include "LocalTimeConversion.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstring>
#include <limits>

namespace {

// SQLite's storage classes in the order it sorts them.
enum class StorageClass { Null = 0, Number = 1, Text = 2, Blob = 3 };

bool isNullValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return true;
    // An invalid date has no seconds to store; it is stored as null.
    return value.metaType().id() == QMetaType::QDateTime && !value.toDateTime().isValid();
}

bool isIntegerType(int typeId)
{
    switch (typeId) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

// An unsigned value beyond qint64 cannot be stored as an SQLite integer; it travels as a real.
bool isHugeUnsigned(const QVariant& value)
{
    return value.metaType().id() == QMetaType::ULongLong &&
           value.toULongLong() > quint64(std::numeric_limits<qint64>::max());
}

bool isRealType(int typeId)
{
    return typeId == QMetaType::Double || typeId == QMetaType::Float || typeId == QMetaType::QDateTime;
}

StorageClass storageClass(const QVariant& value)
{
    if (isNullValue(value))
        return StorageClass::Null;
    const int typeId = value.metaType().id();
    if (isIntegerType(typeId) || isRealType(typeId))
        return StorageClass::Number;
    if (typeId == QMetaType::QByteArray)
        return StorageClass::Blob;
    return StorageClass::Text;
}

template <typename T> int threeWay(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareNumbers(const QVariant& a, const QVariant& b)
{
    // Two integers compare exactly, as SQLite does; a mix goes through doubles.
    if (isIntegerType(a.metaType().id()) && isIntegerType(b.metaType().id()) && !isHugeUnsigned(a) &&
        !isHugeUnsigned(b))
        return threeWay(a.toLongLong(), b.toLongLong());
    return threeWay(StoreValue::toDouble(a), StoreValue::toDouble(b));
}

// Moves UTF-16 code units so that they sort like the code points they encode: SQLite compares text as UTF-8
// bytes, which is code point order, whereas surrogates (U+D800..U+DFFF) sort below U+E000..U+FFFF in UTF-16.
int codePointOrderKey(char16_t unit)
{
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return int(unit) + 0x2000;
    if (unit >= 0xE000)
        return int(unit) - 0x800;
    return int(unit);
}

int compareText(const QString& a, const QString& b)
{
    const qsizetype common = qMin(a.size(), b.size());
    const QChar* left = a.constData();
    const QChar* right = b.constData();
    for (qsizetype i = 0; i < common; ++i) {
        if (left[i] != right[i])
            return threeWay(codePointOrderKey(left[i].unicode()), codePointOrderKey(right[i].unicode()));
    }
    return threeWay(a.size(), b.size());
}

int compareBytes(const QByteArray& a, const QByteArray& b)
{
    const qsizetype common = qMin(a.size(), b.size());
    const int result = common > 0 ? std::memcmp(a.constData(), b.constData(), size_t(common)) : 0;
    if (result != 0)
        return result < 0 ? -1 : 1;
    return threeWay(a.size(), b.size());
}

} // namespace

int StoreValue::compare(const QVariant& a, const QVariant& b)
{
    const StorageClass classA = storageClass(a);
    const StorageClass classB = storageClass(b);
    if (classA != classB)
        return threeWay(int(classA), int(classB));
    switch (classA) {
    case StorageClass::Null:
        return 0;
    case StorageClass::Number:
        return compareNumbers(a, b);
    case StorageClass::Text:
        return compareText(a.toString(), b.toString());
    case StorageClass::Blob:
        return compareBytes(a.toByteArray(), b.toByteArray());
    }
    return 0;
}

bool StoreValue::equals(const QVariant& a, const QVariant& b)
{
    const StorageClass classA = storageClass(a);
    if (classA != storageClass(b))
        return false;
    if (classA == StorageClass::Text)
        return a.toString() == b.toString();
    return compare(a, b) == 0;
}

QVariant StoreValue::toSql(const QVariant& value)
{
    if (isNullValue(value))
        return {};
    const int typeId = value.metaType().id();
    if (typeId == QMetaType::QDateTime || typeId == QMetaType::Float)
        return toDouble(value);
    if (isHugeUnsigned(value))
        return value.toDouble();
    if (isIntegerType(typeId))
        return QVariant::fromValue(value.toLongLong());
    if (typeId == QMetaType::Double || typeId == QMetaType::QByteArray || typeId == QMetaType::QString)
        return value;
    return value.toString();
}

bool StoreValue::isNumeric(const QVariant& value)
{
    return storageClass(value) == StorageClass::Number;
}

double StoreValue::toDouble(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QDateTime) {
        const QDateTime date = value.toDateTime();
        if (!date.isValid())
            return 0.0;
        const std::optional<qint64> local = LocalTimeConversion::msecsSinceEpoch(date);
        return double(local ? *local : date.toMSecsSinceEpoch()) / 1000.0;
    }
    return value.toDouble();
}
