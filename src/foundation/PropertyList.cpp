#include "foundation/PropertyList.h"

#include "foundation/Text.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <plist/plist.h>

namespace tidemark::plist {
namespace {

struct NodeDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

struct BufferDeleter {
    void operator()(void* p) const { std::free(p); }
};

Node toNode(const Value& value) {
    using K = Value::Kind;
    switch (value.kind()) {
    case K::Null:
        return nullptr;
    case K::Boolean:
        return Node(plist_new_bool(*value.asBoolean() ? 1 : 0));
    case K::Integer: {
        const auto i = *value.asInteger();
        // libplist stores integers as unsigned 64-bit; negative values round-trip through
        // the two's complement bits, which the binary format stores as signed.
        return Node(plist_new_uint(static_cast<std::uint64_t>(i)));
    }
    case K::Real:
        return Node(plist_new_real(*value.asNumber()));
    case K::String:
        return Node(plist_new_string(value.asString()->c_str()));
    case K::Data: {
        const auto& d = *value.asData();
        return Node(plist_new_data(reinterpret_cast<const char*>(d.data()), d.size()));
    }
    case K::Array: {
        Node array(plist_new_array());
        for (const auto& element : *value.asArray()) {
            Node child = toNode(element);
            if (!child)
                return nullptr;
            plist_array_append_item(array.get(), child.release());
        }
        return array;
    }
    case K::Dictionary: {
        Node dict(plist_new_dict());
        for (const auto& [key, element] : *value.asDictionary()) {
            Node child = toNode(element);
            if (!child)
                return nullptr;
            plist_dict_set_item(dict.get(), key.c_str(), child.release());
        }
        return dict;
    }
    }
    return nullptr;
}

// Text as the program keeps it: valid UTF-8 without NUL, which every encoder writes back
// unchanged. A file may hold any bytes; the string ends at a NUL, as the encoders would end it.
std::string keptText(const char* bytes, std::size_t length) {
    const std::string_view raw(bytes ? bytes : "", bytes ? length : 0);
    return text::repairUtf8(raw.substr(0, raw.find('\0')));
}

// libplist asserts when asked for a key that holds a NUL; its XML form shows one. No key of
// the program's has one: such a dictionary is damaged.
bool keyHoldsNul(plist_t keyNode) {
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(keyNode, &xml, &length);
    std::unique_ptr<char, BufferDeleter> owned(xml);
    return xml && std::memchr(xml, '\0', length) != nullptr;
}

std::optional<Value> fromNode(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return Value(b != 0);
    }
    case PLIST_UINT: {
        std::uint64_t u = 0;
        plist_get_uint_val(node, &u);
        return Value(static_cast<std::int64_t>(u));
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return Value(d);
    }
    case PLIST_STRING: {
        // Not plist_get_string_val: it asserts there is no NUL inside.
        std::uint64_t length = 0;
        const char* s = plist_get_string_ptr(node, &length);
        return Value(keptText(s, length));
    }
    case PLIST_DATA: {
        char* d = nullptr;
        std::uint64_t length = 0;
        plist_get_data_val(node, &d, &length);
        std::unique_ptr<char, BufferDeleter> owned(d);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(d);
        return Value(ByteString(bytes, bytes + length));
    }
    case PLIST_DATE: {
        std::int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return Value(double(sec) + double(usec) / 1e6);
    }
    case PLIST_ARRAY: {
        ValueArray array;
        const auto n = plist_array_get_size(node);
        for (std::uint32_t i = 0; i < n; ++i) {
            auto element = fromNode(plist_array_get_item(node, i));
            if (!element)
                return std::nullopt;
            array.push_back(std::move(*element));
        }
        return Value(std::move(array));
    }
    case PLIST_DICT: {
        ValueDictionary dict;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        std::unique_ptr<void, BufferDeleter> ownedIterator(it);
        for (;;) {
            plist_t child = nullptr;
            plist_dict_next_item(node, it, nullptr, &child);
            if (!child)
                break;
            const plist_t keyNode = plist_dict_item_get_key(child);
            if (keyHoldsNul(keyNode))
                return std::nullopt;
            char* key = nullptr;
            plist_get_key_val(keyNode, &key);
            std::unique_ptr<char, BufferDeleter> ownedKey(key);
            auto element = fromNode(child);
            if (!element)
                return std::nullopt;
            const auto name = keptText(key, key ? std::strlen(key) : 0);
            dict.insert_or_assign(name, std::move(*element));
        }
        return Value(std::move(dict));
    }
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<ByteString> encodeBinary(const Value& value) {
    Node node = toNode(value);
    if (!node)
        return std::nullopt;
    char* out = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(node.get(), &out, &length);
    if (!out)
        return std::nullopt;
    std::unique_ptr<char, BufferDeleter> owned(out);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(out);
    return ByteString(bytes, bytes + length);
}

std::optional<std::string> encodeXml(const Value& value) {
    Node node = toNode(value);
    if (!node)
        return std::nullopt;
    char* out = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(node.get(), &out, &length);
    if (!out)
        return std::nullopt;
    std::unique_ptr<char, BufferDeleter> owned(out);
    return std::string(out, length);
}

std::optional<Value> decode(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > 0xFFFFFFFFu)
        return std::nullopt;
    plist_t root = nullptr;
    if (bytes.size() >= 8 && bytes.substr(0, 6) == "bplist")
        plist_from_bin(bytes.data(), std::uint32_t(bytes.size()), &root);
    else
        plist_from_xml(bytes.data(), std::uint32_t(bytes.size()), &root);
    if (!root)
        return std::nullopt;
    Node owned(root);
    return fromNode(root);
}

} // namespace tidemark::plist
