#include "SqliteStatement.h"

#include "SqliteDatabase.h"
#include "StoreValue.h"

#include <QDateTime>
#include <cmath>
#include <sqlite3.h>

namespace {

// Plain ASCII, nearly every identifier, title and date a store holds, is its own UTF-8: copied into the buffer the
// position held before, it needs neither an encoder nor a new allocation. False, leaving out untouched, for any
// other text.
bool copyAscii(const QString& text, QByteArray& out)
{
    const QChar* units = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (units[i].unicode() >= 0x80)
            return false;
    }
    out.resize(size);
    char* bytes = out.data();
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(units[i].unicode());
    return true;
}

} // namespace

SqliteStatement::SqliteStatement(const SqliteDatabase& database, const QString& sql) : m_database(database)
{
    if (!database.handle()) {
        m_error = StoreError{QStringLiteral("The store is not open."), SQLITE_MISUSE};
        return;
    }
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(database.handle(), text.constData(), int(text.size()), &m_statement, nullptr) != SQLITE_OK) {
        fail(QStringLiteral("prepare"));
        m_statement = nullptr;
        return;
    }
    m_texts.resize(size_t(sqlite3_bind_parameter_count(m_statement)));
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

bool SqliteStatement::bind(const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i) {
        if (!bind(i + 1, values[i]))
            return false;
    }
    return true;
}

bool SqliteStatement::bind(int position, const QVariant& value)
{
    if (!m_statement)
        return false;
    int rc = SQLITE_OK;
    // The types every record is made of go straight to SQLite; the rest go through StoreValue's conversion.
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        rc = sqlite3_bind_null(m_statement, position);
        break;
    case QMetaType::QString:
        rc = value.isNull() ? sqlite3_bind_null(m_statement, position)
                            : bindUtf8(position, *static_cast<const QString*>(value.constData()));
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
        rc = value.isNull() ? sqlite3_bind_null(m_statement, position)
                            : sqlite3_bind_int64(m_statement, position, value.toLongLong());
        break;
    case QMetaType::QDateTime:
        // An invalid date has no seconds to store; it is stored as null.
        rc = value.isNull() || !static_cast<const QDateTime*>(value.constData())->isValid()
                 ? sqlite3_bind_null(m_statement, position)
                 : sqlite3_bind_double(m_statement, position, StoreValue::toDouble(value));
        break;
    default:
        rc = bindConverted(position, StoreValue::toSql(value));
        break;
    }
    return succeeded(rc);
}

bool SqliteStatement::bindText(int position, const QString& text)
{
    if (!m_statement)
        return false;
    return succeeded(text.isNull() ? sqlite3_bind_null(m_statement, position) : bindUtf8(position, text));
}

bool SqliteStatement::bindInteger(int position, qint64 value)
{
    return m_statement && succeeded(sqlite3_bind_int64(m_statement, position, value));
}

bool SqliteStatement::succeeded(int resultCode)
{
    if (resultCode == SQLITE_OK)
        return true;
    fail(QStringLiteral("bind"));
    return false;
}

int SqliteStatement::bindConverted(int position, const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return sqlite3_bind_null(m_statement, position);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Bool:
        return sqlite3_bind_int64(m_statement, position, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(m_statement, position, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(m_statement, position, bytes.constData(), sqlite3_uint64(bytes.size()),
                                   SQLITE_TRANSIENT);
    }
    default:
        if (value.isNull())
            return sqlite3_bind_null(m_statement, position);
        return bindUtf8(position, value.toString());
    }
}

int SqliteStatement::bindUtf8(int position, const QString& text)
{
    // Kept here until the position is bound again or the statement ends, so SQLite reads it in place instead
    // of copying it: a save of thousands of records binds hundreds of thousands of texts.
    if (position < 1 || position > int(m_texts.size())) {
        const QByteArray utf8 = text.toUtf8();
        return sqlite3_bind_text64(m_statement, position, utf8.constData(), sqlite3_uint64(utf8.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    QByteArray& held = m_texts[size_t(position - 1)];
    if (!copyAscii(text, held))
        held = text.toUtf8();
    return sqlite3_bind_text64(m_statement, position, held.constData(), sqlite3_uint64(held.size()), SQLITE_STATIC,
                               SQLITE_UTF8);
}

bool SqliteStatement::step()
{
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        fail(QStringLiteral("step"));
    return false;
}

void SqliteStatement::reset()
{
    if (m_statement) {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    m_error.reset();
}

int SqliteStatement::columnCount() const
{
    return m_statement ? sqlite3_column_count(m_statement) : 0;
}

QVariant SqliteStatement::column(int index) const
{
    switch (sqlite3_column_type(m_statement, index)) {
    case SQLITE_INTEGER:
        return QVariant::fromValue(qint64(sqlite3_column_int64(m_statement, index)));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement, index);
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, index));
        return QString::fromUtf8(text, sqlite3_column_bytes(m_statement, index));
    }
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, index));
        return QByteArray(bytes, sqlite3_column_bytes(m_statement, index));
    }
    default:
        return {};
    }
}

qint64 SqliteStatement::columnInt64(int index) const
{
    return sqlite3_column_int64(m_statement, index);
}

double SqliteStatement::columnNumber(int index) const
{
    if (sqlite3_column_type(m_statement, index) == SQLITE_NULL)
        return std::nan("");
    return sqlite3_column_double(m_statement, index);
}

void SqliteStatement::fail(const QString& context)
{
    m_error = m_database.lastError(context);
}
