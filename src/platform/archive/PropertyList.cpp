#include "platform/archive/PropertyList.h"

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <vector>

namespace {

// libplist expands every reference to a container into a fresh copy and recurses without a depth limit, so a
// small file of nested, repeatedly referenced arrays could exhaust memory or the stack. This pass reads only the
// trailer, offset table and container markers and refuses such files before the library sees them.
class BinaryPlistScan {
public:
    explicit BinaryPlistScan(const QByteArray& bytes)
        : m_data(reinterpret_cast<const uint8_t*>(bytes.constData())), m_size(uint64_t(bytes.size()))
    {
    }

    bool acceptable()
    {
        if (m_size < 8 + 32) {
            return false;
        }
        const uint8_t* trailer = m_data + m_size - 32;
        m_offsetSize = trailer[6];
        m_refSize = trailer[7];
        m_count = bigEndian(trailer + 8, 8);
        const uint64_t top = bigEndian(trailer + 16, 8);
        m_tableOffset = bigEndian(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 || m_count == 0 || top >= m_count ||
            m_tableOffset < 8 || m_tableOffset >= m_size - 32 ||
            m_count > (m_size - 32 - m_tableOffset) / m_offsetSize) {
            return false;
        }
        return stringsHaveNoNul() && expandedSizeFits(top);
    }

private:
    static constexpr size_t MaxDepth = 128;

    static uint64_t bigEndian(const uint8_t* bytes, unsigned width)
    {
        uint64_t value = 0;
        for (unsigned i = 0; i < width; ++i) {
            value = (value << 8) | bytes[i];
        }
        return value;
    }

    std::optional<uint64_t> offsetOf(uint64_t object) const
    {
        const uint64_t offset = bigEndian(m_data + m_tableOffset + object * m_offsetSize, m_offsetSize);
        if (offset < 8 || offset >= m_tableOffset) {
            return std::nullopt;
        }
        return offset;
    }

    // The length field after a marker: the low nibble, or an integer object that follows when it is 0xF.
    std::optional<std::pair<uint64_t, uint64_t>> countAt(uint64_t offset) const
    {
        uint64_t position = offset + 1;
        uint64_t count = m_data[offset] & 0x0F;
        if (count == 0x0F) {
            if (position >= m_tableOffset || (m_data[position] >> 4) != 0x1) {
                return std::nullopt;
            }
            const unsigned width = 1u << (m_data[position] & 0x0F);
            if (width > 8 || position + 1 + width > m_tableOffset) {
                return std::nullopt;
            }
            count = bigEndian(m_data + position + 1, width);
            position += 1 + width;
        }
        return std::make_pair(count, position);
    }

    // Debian's libplist asserts (and so aborts the process) when a key holds a NUL; no archive string needs one.
    bool stringsHaveNoNul() const
    {
        for (uint64_t object = 0; object < m_count; ++object) {
            const auto offset = offsetOf(object);
            if (!offset) {
                return false;
            }
            const uint8_t type = m_data[*offset] >> 4;
            if (type != 0x5 && type != 0x6 && type != 0x7) {
                continue;
            }
            const auto counted = countAt(*offset);
            if (!counted) {
                return false;
            }
            const auto [count, position] = *counted;
            const uint64_t unitSize = type == 0x6 ? 2 : 1;
            if (count > (m_tableOffset - position) / unitSize) {
                return false;
            }
            for (uint64_t i = 0; i < count; ++i) {
                const uint8_t* unit = m_data + position + i * unitSize;
                if (unit[0] == 0 && (unitSize == 1 || unit[1] == 0)) {
                    return false;
                }
            }
        }
        return true;
    }

    // The references a container holds (dictionaries: keys then values); empty for scalars, nullopt if malformed.
    std::optional<std::vector<uint64_t>> children(uint64_t object) const
    {
        const auto offset = offsetOf(object);
        if (!offset) {
            return std::nullopt;
        }
        const uint8_t marker = m_data[*offset];
        const uint8_t type = marker >> 4;
        if (type != 0xA && type != 0xB && type != 0xC && type != 0xD) {
            return std::vector<uint64_t>{};
        }
        const auto counted = countAt(*offset);
        if (!counted) {
            return std::nullopt;
        }
        auto [count, position] = *counted;
        if (type == 0xD) {
            if (count > m_count) {
                return std::nullopt;
            }
            count *= 2;
        }
        if (count > m_count * 2 || count > (m_tableOffset - position) / m_refSize) {
            return std::nullopt;
        }
        std::vector<uint64_t> refs(count);
        for (uint64_t i = 0; i < count; ++i) {
            refs[i] = bigEndian(m_data + position + i * m_refSize, m_refSize);
            if (refs[i] >= m_count) {
                return std::nullopt;
            }
        }
        return refs;
    }

    // Counts the nodes the library would build from top, without recursion; refuses cycles, deep nesting and
    // totals far beyond the object count.
    bool expandedSizeFits(uint64_t top) const
    {
        const uint64_t limit = m_count * 4 + 1024;
        std::vector<uint64_t> expanded(m_count, 0);
        std::vector<uint8_t> state(m_count, 0);
        struct Frame {
            uint64_t object;
            std::vector<uint64_t> refs;
            size_t next = 0;
            uint64_t total = 1;
        };
        std::vector<Frame> stack;
        auto push = [&](uint64_t object) {
            auto refs = children(object);
            if (!refs || stack.size() >= MaxDepth) {
                return false;
            }
            state[object] = 1;
            stack.push_back(Frame{object, std::move(*refs)});
            return true;
        };
        if (!push(top)) {
            return false;
        }
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next == frame.refs.size()) {
                expanded[frame.object] = frame.total;
                state[frame.object] = 2;
                const uint64_t total = frame.total;
                stack.pop_back();
                if (!stack.empty()) {
                    stack.back().total += total;
                    if (stack.back().total > limit) {
                        return false;
                    }
                }
                continue;
            }
            const uint64_t child = frame.refs[frame.next++];
            if (state[child] == 2) {
                frame.total += expanded[child];
                if (frame.total > limit) {
                    return false;
                }
            } else if (state[child] == 1 || !push(child)) {
                return false;
            }
        }
        return expanded[top] <= limit;
    }

    const uint8_t* m_data;
    uint64_t m_size;
    unsigned m_offsetSize = 0;
    unsigned m_refSize = 0;
    uint64_t m_count = 0;
    uint64_t m_tableOffset = 0;
};

} // namespace

void PropertyList::Free::operator()(void* node) const
{
    if (node) {
        plist_free(static_cast<plist_t>(node));
    }
}

PropertyList::PropertyList(void* root) : m_root(root)
{
}

std::optional<PropertyList> PropertyList::fromBinary(const QByteArray& bytes, qsizetype maxBytes)
{
    // The library takes a 32-bit length and reads the trailer from the end; bound the input before handing it over.
    if (bytes.size() < 8 || bytes.size() > maxBytes || bytes.size() > qsizetype(std::numeric_limits<uint32_t>::max())) {
        return std::nullopt;
    }
    if (!bytes.startsWith("bplist00") || !BinaryPlistScan(bytes).acceptable()) {
        return std::nullopt;
    }
    plist_t root = nullptr;
    plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &root);
    if (!root) {
        return std::nullopt;
    }
    return PropertyList(root);
}

QByteArray PropertyList::toBinary() const
{
    if (!m_root) {
        return {};
    }
    char* out = nullptr;
    uint32_t length = 0;
    plist_to_bin(static_cast<plist_t>(m_root.get()), &out, &length);
    if (!out) {
        return {};
    }
    QByteArray bytes(out, qsizetype(length));
    plist_to_bin_free(out);
    return bytes;
}
