#include "platform/archive/KeyedUnarchiver.h"

#include "platform/archive/PropertyList.h"

#include <QTimeZone>

#include <plist/plist.h>

#include <vector>

namespace {

constexpr double ReferenceDateOffset = 978307200.0;
constexpr uint32_t MaxClassChain = 64;

QString stringValue(plist_t node)
{
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return text ? QString::fromUtf8(text, qsizetype(length)) : QString();
}

QByteArray dataValue(plist_t node)
{
    uint64_t length = 0;
    const char* bytes = plist_get_data_ptr(node, &length);
    return bytes ? QByteArray(bytes, qsizetype(length)) : QByteArray();
}

// A keyed archive's "$class" escape: coded keys that start with "$" carry one extra "$".
QString unescapedKey(const QString& key)
{
    return key.startsWith(QLatin1String("$$")) ? key.mid(1) : key;
}

// The items of an array, at most max of them; nullopt when node is no array or holds more. Walks with an
// iterator because indexed access into a libplist array is linear in the index.
std::optional<std::vector<plist_t>> arrayItems(plist_t node, size_t max)
{
    if (!PLIST_IS_ARRAY(node)) {
        return std::nullopt;
    }
    std::vector<plist_t> items;
    plist_array_iter iter = nullptr;
    plist_array_new_iter(node, &iter);
    for (;;) {
        plist_t item = nullptr;
        plist_array_next_item(node, iter, &item);
        if (!item) {
            break;
        }
        if (items.size() == max) {
            free(iter);
            return std::nullopt;
        }
        items.push_back(item);
    }
    free(iter);
    return items;
}

class Reader {
public:
    Reader(std::vector<plist_t> nodes, const QSet<QString>& allowed) : m_allowed(allowed), m_nodes(std::move(nodes))
    {
        m_decoded.resize(m_nodes.size());
        m_state.resize(m_nodes.size(), State::Unread);
    }

    ArchiveRef decode(uint64_t uid, int depth)
    {
        if (uid >= m_nodes.size()) {
            return fail(QStringLiteral("object index %1 is out of range").arg(uid));
        }
        if (depth > KeyedUnarchiver::MaxDepth) {
            return fail(QStringLiteral("objects nest too deeply"));
        }
        switch (m_state[uid]) {
        case State::Done:
            return m_decoded[uid];
        case State::Reading:
            return fail(QStringLiteral("object %1 refers back to itself").arg(uid));
        case State::Unread:
            break;
        }
        m_state[uid] = State::Reading;
        ArchiveRef object = uid == 0 ? ArchiveObject::null() : decodeNode(m_nodes[uid], depth);
        m_state[uid] = State::Done;
        m_decoded[uid] = object;
        return object;
    }

    const QString& error() const { return m_error; }

private:
    enum class State : uint8_t { Unread, Reading, Done };

    ArchiveRef fail(const QString& reason)
    {
        if (m_error.isEmpty()) {
            m_error = reason;
        }
        return nullptr;
    }

    ArchiveRef decodeNode(plist_t node, int depth)
    {
        switch (plist_get_node_type(node)) {
        case PLIST_STRING:
            return ArchiveObject::string(stringValue(node));
        case PLIST_DATA:
            return ArchiveObject::data(dataValue(node), QStringLiteral("NSData"));
        case PLIST_DICT:
            return decodeCoded(node, depth);
        case PLIST_DATE:
            return ArchiveObject::date(dateValue(node));
        default:
            if (ArchiveRef scalar = scalarValue(node)) {
                return scalar;
            }
            return fail(QStringLiteral("unexpected value in the object table"));
        }
    }

    static ArchiveRef scalarValue(plist_t node)
    {
        switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t value = 0;
            plist_get_bool_val(node, &value);
            return ArchiveObject::boolean(value != 0);
        }
        case PLIST_UINT: {
            uint64_t value = 0;
            plist_get_uint_val(node, &value);
            return ArchiveObject::integer(qint64(value));
        }
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            return ArchiveObject::real(value);
        }
        default:
            return nullptr;
        }
    }

    static QDateTime dateValue(plist_t node)
    {
        int32_t seconds = 0;
        int32_t micros = 0;
        plist_get_date_val(node, &seconds, &micros);
        const qint64 msecs = (qint64(seconds) + qint64(ReferenceDateOffset)) * 1000 + micros / 1000;
        return QDateTime::fromMSecsSinceEpoch(msecs, QTimeZone::utc());
    }

    std::optional<std::pair<QString, QStringList>> classOf(plist_t dict)
    {
        plist_t ref = plist_dict_get_item(dict, "$class");
        if (!PLIST_IS_UID(ref)) {
            fail(QStringLiteral("object without a class"));
            return std::nullopt;
        }
        uint64_t uid = 0;
        plist_get_uid_val(ref, &uid);
        plist_t description = uid < m_nodes.size() ? m_nodes[uid] : nullptr;
        plist_t name = description ? plist_dict_get_item(description, "$classname") : nullptr;
        plist_t chain = description ? plist_dict_get_item(description, "$classes") : nullptr;
        if (!PLIST_IS_DICT(description) || !PLIST_IS_STRING(name)) {
            fail(QStringLiteral("malformed class description"));
            return std::nullopt;
        }
        QStringList classes;
        for (plist_t each : arrayItems(chain, MaxClassChain).value_or(std::vector<plist_t>{})) {
            if (PLIST_IS_STRING(each)) {
                classes.append(stringValue(each));
            }
        }
        return std::make_pair(stringValue(name), classes);
    }

    ArchiveRef decodeCoded(plist_t dict, int depth)
    {
        auto described = classOf(dict);
        if (!described) {
            return nullptr;
        }
        const auto& [name, classes] = *described;
        if (!m_allowed.contains(name)) {
            return fail(QStringLiteral("class \"%1\" is not allowed here").arg(name));
        }
        if (name == QLatin1String("NSString") || name == QLatin1String("NSMutableString")) {
            return decodeString(dict, name);
        }
        if (name == QLatin1String("NSData") || name == QLatin1String("NSMutableData")) {
            return decodeData(dict, name, depth);
        }
        if (name == QLatin1String("NSDate")) {
            const double seconds = realField(dict, "NS.time");
            return ArchiveObject::date(QDateTime::fromMSecsSinceEpoch(
                qint64(qBound(-1e13, (seconds + ReferenceDateOffset) * 1000.0, 1e13)), QTimeZone::utc()));
        }
        if (name == QLatin1String("NSArray") || name == QLatin1String("NSMutableArray") ||
            name == QLatin1String("NSSet") || name == QLatin1String("NSMutableSet") ||
            name == QLatin1String("NSOrderedSet") || name == QLatin1String("NSMutableOrderedSet")) {
            auto items = uidList(plist_dict_get_item(dict, "NS.objects"), depth);
            return items ? ArchiveObject::array(*items, name) : nullptr;
        }
        if (name == QLatin1String("NSDictionary") || name == QLatin1String("NSMutableDictionary")) {
            return decodeDictionary(dict, name, depth);
        }
        return decodeInstance(dict, name, classes, depth);
    }

    static double realField(plist_t dict, const char* key)
    {
        plist_t node = plist_dict_get_item(dict, key);
        ArchiveRef value = node ? scalarValue(node) : nullptr;
        return value ? value->toReal() : 0.0;
    }

    ArchiveRef decodeString(plist_t dict, const QString& name)
    {
        plist_t text = plist_dict_get_item(dict, "NS.string");
        if (PLIST_IS_STRING(text)) {
            return ArchiveObject::string(stringValue(text), name);
        }
        plist_t bytes = plist_dict_get_item(dict, "NS.bytes");
        if (PLIST_IS_DATA(bytes)) {
            return ArchiveObject::string(QString::fromUtf8(dataValue(bytes)), name);
        }
        return fail(QStringLiteral("string without text"));
    }

    ArchiveRef decodeData(plist_t dict, const QString& name, int depth)
    {
        plist_t bytes = plist_dict_get_item(dict, "NS.data");
        if (PLIST_IS_DATA(bytes)) {
            return ArchiveObject::data(dataValue(bytes), name);
        }
        if (PLIST_IS_UID(bytes)) {
            ArchiveRef inner = decode(uidOf(bytes), depth + 1);
            if (inner && inner->kind() == ArchiveObject::Kind::Data) {
                return ArchiveObject::data(inner->toData(), name);
            }
        }
        return fail(QStringLiteral("data without bytes"));
    }

    ArchiveRef decodeDictionary(plist_t dict, const QString& name, int depth)
    {
        auto keys = uidList(plist_dict_get_item(dict, "NS.keys"), depth);
        auto values = keys ? uidList(plist_dict_get_item(dict, "NS.objects"), depth) : std::nullopt;
        if (!values) {
            return nullptr;
        }
        if (keys->size() != values->size()) {
            return fail(QStringLiteral("dictionary keys and values differ in count"));
        }
        ArchiveObject::Entries entries;
        entries.reserve(keys->size());
        for (qsizetype i = 0; i < keys->size(); ++i) {
            entries.append({keys->at(i), values->at(i)});
        }
        return ArchiveObject::dictionary(entries, name);
    }

    ArchiveRef decodeInstance(plist_t dict, const QString& name, const QStringList& classes, int depth)
    {
        ArchiveObject::Fields fields;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(dict, &iter);
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(dict, iter, &key, &value);
            if (!key) {
                break;
            }
            const QString fieldName = QString::fromUtf8(key);
            free(key);
            if (fieldName == QLatin1String("$class")) {
                continue;
            }
            ArchiveRef field = fieldValue(value, depth);
            if (!field && !m_error.isEmpty()) {
                free(iter);
                return nullptr;
            }
            if (field) {
                fields.insert(unescapedKey(fieldName), field);
            }
        }
        free(iter);
        return ArchiveObject::instance(name, fields, classes);
    }

    // A field holds either a reference to an object or an inline scalar, byte string or list of references.
    ArchiveRef fieldValue(plist_t value, int depth)
    {
        switch (plist_get_node_type(value)) {
        case PLIST_UID:
            return decode(uidOf(value), depth + 1);
        case PLIST_DATA:
            return ArchiveObject::data(dataValue(value));
        case PLIST_STRING:
            return ArchiveObject::string(stringValue(value));
        case PLIST_ARRAY: {
            auto items = uidList(value, depth);
            return items ? ArchiveObject::array(*items, {}) : nullptr;
        }
        default:
            return scalarValue(value);
        }
    }

    std::optional<QList<ArchiveRef>> uidList(plist_t array, int depth)
    {
        const auto nodes = arrayItems(array, m_nodes.size() * 2);
        if (!nodes) {
            fail(QStringLiteral("expected a list of objects"));
            return std::nullopt;
        }
        QList<ArchiveRef> items;
        items.reserve(qsizetype(nodes->size()));
        for (plist_t item : *nodes) {
            ArchiveRef decoded = PLIST_IS_UID(item) ? decode(uidOf(item), depth + 1) : scalarValue(item);
            if (!decoded) {
                fail(QStringLiteral("unreadable list item"));
                return std::nullopt;
            }
            items.append(decoded);
        }
        return items;
    }

    static uint64_t uidOf(plist_t node)
    {
        uint64_t uid = 0;
        plist_get_uid_val(node, &uid);
        return uid;
    }

    const QSet<QString>& m_allowed;
    std::vector<plist_t> m_nodes;
    std::vector<ArchiveRef> m_decoded;
    std::vector<State> m_state;
    QString m_error;
};

UnarchiveResult failure(const QString& reason)
{
    return UnarchiveResult{nullptr, reason};
}

} // namespace

UnarchiveResult KeyedUnarchiver::unarchive(const QByteArray& bytes, const QSet<QString>& allowedClasses)
{
    std::optional<PropertyList> list = PropertyList::fromBinary(bytes);
    if (!list) {
        return failure(QStringLiteral("not a binary property list"));
    }
    plist_t root = static_cast<plist_t>(list->root());
    if (!PLIST_IS_DICT(root)) {
        return failure(QStringLiteral("not a keyed archive"));
    }
    plist_t archiver = plist_dict_get_item(root, "$archiver");
    plist_t version = plist_dict_get_item(root, "$version");
    plist_t objects = plist_dict_get_item(root, "$objects");
    plist_t top = plist_dict_get_item(root, "$top");
    if (!PLIST_IS_STRING(archiver) || plist_string_val_compare(archiver, "NSKeyedArchiver") != 0 ||
        !PLIST_IS_UINT(version) || !PLIST_IS_ARRAY(objects) || !PLIST_IS_DICT(top)) {
        return failure(QStringLiteral("not a keyed archive"));
    }
    auto nodes = arrayItems(objects, size_t(MaxObjects));
    if (!nodes || nodes->empty()) {
        return failure(QStringLiteral("object table is empty or too large"));
    }
    plist_t rootRef = plist_dict_get_item(top, "root");
    if (!PLIST_IS_UID(rootRef)) {
        return failure(QStringLiteral("archive has no root object"));
    }
    uint64_t rootUid = 0;
    plist_get_uid_val(rootRef, &rootUid);
    Reader reader(std::move(*nodes), allowedClasses);
    ArchiveRef decoded = reader.decode(rootUid, 0);
    if (!decoded || !reader.error().isEmpty()) {
        return failure(reader.error().isEmpty() ? QStringLiteral("unreadable archive") : reader.error());
    }
    return UnarchiveResult{decoded, {}};
}
