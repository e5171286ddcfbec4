#pragma once

#include <QByteArray>

#include <memory>
#include <optional>

// Owns one libplist node tree (the C library's plist_t) and converts it to and from the binary property-list
// format ("bplist00"). Move-only: exactly one owner frees the tree.
class PropertyList {
public:
    // Takes ownership of a root node made by plist_new_* (nullptr makes an empty list).
    explicit PropertyList(void* root = nullptr);
    PropertyList(PropertyList&&) noexcept = default;
    PropertyList& operator=(PropertyList&&) noexcept = default;
    PropertyList(const PropertyList&) = delete;
    PropertyList& operator=(const PropertyList&) = delete;
    ~PropertyList() = default;

    // Parses binary property-list bytes; nullopt when they are not a well-formed "bplist00" or exceed maxBytes.
    static std::optional<PropertyList> fromBinary(const QByteArray& bytes, qsizetype maxBytes = DefaultMaxBytes);
    // Serializes to "bplist00" bytes; empty when the list is empty or the library fails.
    QByteArray toBinary() const;

    void* root() const { return m_root.get(); }
    bool isNull() const { return m_root == nullptr; }
    // Gives up ownership of the tree (the caller frees it with plist_free or hands it to another owner).
    void* release() { return m_root.release(); }

    static constexpr qsizetype DefaultMaxBytes = 256 * 1024 * 1024;

private:
    struct Free {
        void operator()(void* node) const;
    };
    std::unique_ptr<void, Free> m_root;
};
