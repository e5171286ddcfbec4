#include "platform/archive/KeyedArchiver.h"

#include "platform/archive/PropertyList.h"

#include <QHash>
#include <QTimeZone>

#include <plist/plist.h>

#include <vector>

namespace {

// Seconds between the Unix epoch and the reference date keyed archives count from (2001-01-01 UTC).
constexpr double ReferenceDateOffset = 978307200.0;

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

// Keys of coded objects that begin with "$" are escaped with one more "$" so they never collide with
// "$class" and the archive's own keys.
QString escapedKey(const QString& key)
{
    return key.startsWith(u'$') ? u'$' + key : key;
}

class Writer {
public:
    Writer() { append(plist_new_string("$null")); }

    ~Writer()
    {
        for (plist_t node : m_slots) {
            if (node) {
                plist_free(node);
            }
        }
    }

    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    PropertyList finish(uint64_t rootUid)
    {
        plist_t top = plist_new_dict();
        plist_dict_set_item(top, "root", plist_new_uid(rootUid));
        PropertyList archive(plist_new_dict());
        plist_t dict = static_cast<plist_t>(archive.root());
        plist_dict_set_item(dict, "$archiver", plist_new_string("NSKeyedArchiver"));
        // Appended in one pass at the end: replacing an item inside a libplist array walks the whole list.
        plist_t objects = plist_new_array();
        for (plist_t& node : m_slots) {
            plist_array_append_item(objects, node);
            node = nullptr;
        }
        plist_dict_set_item(dict, "$objects", objects);
        plist_dict_set_item(dict, "$top", top);
        plist_dict_set_item(dict, "$version", plist_new_uint(100000));
        return archive;
    }

    uint64_t encode(const ArchiveRef& object)
    {
        if (!object || object->kind() == ArchiveObject::Kind::Null) {
            return 0;
        }
        if (auto found = m_written.constFind(object.get()); found != m_written.cend()) {
            return *found;
        }
        const bool plainString = object->kind() == ArchiveObject::Kind::String && object->className().isEmpty();
        if (plainString) {
            if (auto found = m_strings.constFind(object->toString()); found != m_strings.cend()) {
                return *found;
            }
        }
        // Reserve the slot first so a container precedes what it holds, as archives conventionally do.
        const uint64_t uid = append(nullptr);
        m_written.insert(object.get(), uid);
        if (plainString) {
            m_strings.insert(object->toString(), uid);
        }
        plist_t node = makeNode(*object);
        m_slots[uid] = node;
        return uid;
    }

private:
    uint64_t append(plist_t node)
    {
        m_slots.push_back(node);
        return m_slots.size() - 1;
    }

    plist_t makeNode(const ArchiveObject& object)
    {
        using Kind = ArchiveObject::Kind;
        switch (object.kind()) {
        case Kind::Null:
            return plist_new_string("$null");
        case Kind::Boolean:
        case Kind::Integer:
        case Kind::Real:
            return scalar(object);
        case Kind::String:
            if (object.className().isEmpty()) {
                return plist_new_string(utf8(object.toString()).constData());
            }
            return wrapped(object, "NS.string", plist_new_string(utf8(object.toString()).constData()));
        case Kind::Data:
            if (object.className() != QLatin1String("NSMutableData")) {
                return dataNode(object.toData());
            }
            return wrapped(object, "NS.data", dataNode(object.toData()));
        case Kind::Date:
            return wrapped(object, "NS.time", plist_new_real(dateSeconds(object.toDate())));
        case Kind::Array:
            return arrayNode(object);
        case Kind::Dictionary:
            return dictionaryNode(object);
        case Kind::Instance:
            return instanceNode(object);
        }
        return plist_new_string("$null");
    }

    static plist_t scalar(const ArchiveObject& object)
    {
        switch (object.kind()) {
        case ArchiveObject::Kind::Boolean:
            return plist_new_bool(object.toBool());
        case ArchiveObject::Kind::Integer:
            // Eight-byte integers are signed in the binary format, so negative values survive the cast.
            return plist_new_uint(uint64_t(object.toInteger()));
        default:
            return plist_new_real(object.toReal());
        }
    }

    static plist_t dataNode(const QByteArray& bytes)
    {
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }

    static double dateSeconds(const QDateTime& date)
    {
        return date.isValid() ? double(date.toMSecsSinceEpoch()) / 1000.0 - ReferenceDateOffset : 0.0;
    }

    plist_t wrapped(const ArchiveObject& object, const char* key, plist_t value)
    {
        plist_t dict = plist_new_dict();
        plist_dict_set_item(dict, key, value);
        plist_dict_set_item(dict, "$class", plist_new_uid(classUid(object)));
        return dict;
    }

    plist_t uidArray(const QList<ArchiveRef>& items)
    {
        plist_t array = plist_new_array();
        for (const ArchiveRef& item : items) {
            plist_array_append_item(array, plist_new_uid(encode(item)));
        }
        return array;
    }

    plist_t arrayNode(const ArchiveObject& object)
    {
        plist_t dict = plist_new_dict();
        plist_dict_set_item(dict, "NS.objects", uidArray(object.items()));
        plist_dict_set_item(dict, "$class", plist_new_uid(classUid(object)));
        return dict;
    }

    plist_t dictionaryNode(const ArchiveObject& object)
    {
        QList<ArchiveRef> keys;
        QList<ArchiveRef> values;
        for (const auto& [key, value] : object.entries()) {
            keys.append(key);
            values.append(value);
        }
        plist_t dict = plist_new_dict();
        plist_dict_set_item(dict, "NS.keys", uidArray(keys));
        plist_dict_set_item(dict, "NS.objects", uidArray(values));
        plist_dict_set_item(dict, "$class", plist_new_uid(classUid(object)));
        return dict;
    }

    // Numbers and unnamed data sit inline in their owner, the way scalar and byte fields are coded; every other
    // field refers to an object by UID.
    plist_t instanceNode(const ArchiveObject& object)
    {
        plist_t dict = plist_new_dict();
        for (auto it = object.fields().cbegin(); it != object.fields().cend(); ++it) {
            const ArchiveRef& value = it.value();
            const QByteArray key = utf8(escapedKey(it.key()));
            if (value && value->isNumber()) {
                plist_dict_set_item(dict, key.constData(), scalar(*value));
            } else if (value && value->kind() == ArchiveObject::Kind::Data && value->className().isEmpty()) {
                plist_dict_set_item(dict, key.constData(), dataNode(value->toData()));
            } else {
                plist_dict_set_item(dict, key.constData(), plist_new_uid(encode(value)));
            }
        }
        plist_dict_set_item(dict, "$class", plist_new_uid(classUid(object)));
        return dict;
    }

    uint64_t classUid(const ArchiveObject& object)
    {
        const QString name = object.className();
        if (auto found = m_classes.constFind(name); found != m_classes.cend()) {
            return *found;
        }
        const QStringList chain = object.classes().isEmpty() ? KeyedArchiver::classChain(name) : object.classes();
        plist_t description = plist_new_dict();
        plist_t classes = plist_new_array();
        for (const QString& each : chain) {
            plist_array_append_item(classes, plist_new_string(utf8(each).constData()));
        }
        plist_dict_set_item(description, "$classes", classes);
        plist_dict_set_item(description, "$classname", plist_new_string(utf8(name).constData()));
        const uint64_t uid = append(description);
        m_classes.insert(name, uid);
        return uid;
    }

    std::vector<plist_t> m_slots;
    QHash<const ArchiveObject*, uint64_t> m_written;
    QHash<QString, uint64_t> m_strings;
    QHash<QString, uint64_t> m_classes;
};

} // namespace

QByteArray KeyedArchiver::archive(const ArchiveRef& root)
{
    Writer writer;
    const uint64_t rootUid = writer.encode(root);
    return writer.finish(rootUid).toBinary();
}

QStringList KeyedArchiver::classChain(const QString& className)
{
    static const QHash<QString, QStringList> chains = {
        {"NSMutableAttributedString", {"NSMutableAttributedString", "NSAttributedString", "NSObject"}},
        {"NSMutableString", {"NSMutableString", "NSString", "NSObject"}},
        {"NSMutableData", {"NSMutableData", "NSData", "NSObject"}},
        {"NSMutableArray", {"NSMutableArray", "NSArray", "NSObject"}},
        {"NSMutableDictionary", {"NSMutableDictionary", "NSDictionary", "NSObject"}},
        {"NSMutableParagraphStyle", {"NSMutableParagraphStyle", "NSParagraphStyle", "NSObject"}},
        {"QJTextAttachment", {"QJTextAttachment", "NSTextAttachment", "NSObject"}},
        {"QJCheckboxAttachment", {"QJCheckboxAttachment", "NSTextAttachment", "NSObject"}},
        {"QJUncheckedCheckboxAttachment", {"QJUncheckedCheckboxAttachment", "NSTextAttachment", "NSObject"}},
    };
    if (auto found = chains.constFind(className); found != chains.cend()) {
        return *found;
    }
    return {className, QStringLiteral("NSObject")};
}
