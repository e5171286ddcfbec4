#include "SqliteStatement.h"

#include "SqliteDatabase.h"
#include "StoreValue.h"

#include <cmath>
#include <sqlite3.h>

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
    }
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

bool SqliteStatement::bind(int position, const QVariant& original)
{
    if (!m_statement)
        return false;
    const QVariant value = StoreValue::toSql(original);
    int rc = SQLITE_OK;
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        rc = sqlite3_bind_null(m_statement, position);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Bool:
        rc = sqlite3_bind_int64(m_statement, position, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        rc = sqlite3_bind_double(m_statement, position, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        rc = sqlite3_bind_blob64(m_statement, position, bytes.constData(), sqlite3_uint64(bytes.size()),
                                 SQLITE_TRANSIENT);
        break;
    }
    default: {
        if (value.isNull()) {
            rc = sqlite3_bind_null(m_statement, position);
            break;
        }
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text64(m_statement, position, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT,
                                 SQLITE_UTF8);
        break;
    }
    }
    if (rc != SQLITE_OK) {
        fail(QStringLiteral("bind"));
        return false;
    }
    return true;
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
