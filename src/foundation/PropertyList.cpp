#include "foundation/PropertyList.h"

#include "foundation/BinaryPlistLayout.h"
#include "foundation/Text.h"
#include "foundation/XmlPlistLayout.h"

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
        // The library keeps C strings: text past a NUL would be lost.
        if (value.asString()->find('\0') != std::string::npos)
            return nullptr;
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
            Node child = key.find('\0') == std::string::npos ? toNode(element) : nullptr;
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

std::optional<std::string> unencodablePart(const Value& value, const std::string& path,
                                           std::size_t depth) {
    const auto at = [&] { return path.empty() ? std::string() : " at " + path; };
    if (depth > kMaxDepth)
        return "nesting deeper than " + std::to_string(kMaxDepth) + " levels" + at();
    if (value.isNull())
        return "null" + at() + " (a property list has no null)";
    if (const auto* text = value.asString(); text && text->find('\0') != std::string::npos)
        return "text with a NUL character" + at();
    if (const auto* array = value.asArray()) {
        for (std::size_t i = 0; i < array->size(); ++i)
            if (auto why =
                    unencodablePart((*array)[i], path + "[" + std::to_string(i) + "]", depth + 1))
                return why;
    }
    if (const auto* dictionary = value.asDictionary()) {
        for (const auto& [key, element] : *dictionary) {
            if (key.find('\0') != std::string::npos)
                return "a key with a NUL character" + at();
            if (auto why = unencodablePart(element, path + "." + key, depth + 1))
                return why;
        }
    }
    return std::nullopt;
}

std::optional<Value> fromNode(plist_t node, std::size_t depth) {
    if (depth > kMaxDepth)
        return std::nullopt;
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
            auto element = fromNode(plist_array_get_item(node, i), depth + 1);
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
            auto element = fromNode(child, depth + 1);
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

bool isBinary(std::string_view bytes) {
    return bytes.size() >= 8 && bytes.substr(0, 6) == "bplist";
}

const std::string kNotAPropertyList = "not a property list";

// The parsed document; nothing, with the reason in `fault`, when it is no property list or
// its structure is unsound. The structure is checked before libplist sees the bytes, so that
// no parser recurses through hostile depth.
Node parse(std::string_view bytes, std::string& fault) {
    fault = kNotAPropertyList;
    if (bytes.empty() || bytes.size() > 0xFFFFFFFFu)
        return nullptr;
    plist_t root = nullptr;
    if (isBinary(bytes)) {
        if (auto unsound = binary::structuralFault(bytes, kMaxDepth)) {
            fault = *unsound;
            return nullptr;
        }
        plist_from_bin(bytes.data(), std::uint32_t(bytes.size()), &root);
    } else {
        const auto depth = xml::nestingDepth(bytes);
        if (!depth)
            return nullptr;
        if (*depth > kMaxDepth + 1) {
            fault = "elements nested deeper than " + std::to_string(kMaxDepth) + " levels";
            return nullptr;
        }
        plist_from_xml(bytes.data(), std::uint32_t(bytes.size()), &root);
    }
    return Node(root);
}

Node parse(std::string_view bytes) {
    std::string ignored;
    return parse(bytes, ignored);
}

std::optional<std::string> toText(plist_t node, bool binary) {
    char* out = nullptr;
    std::uint32_t length = 0;
    if (binary)
        plist_to_bin(node, &out, &length);
    else
        plist_to_xml(node, &out, &length);
    if (!out)
        return std::nullopt;
    std::unique_ptr<char, BufferDeleter> owned(out);
    return std::string(out, length);
}

// The entry lines an XML writer gives `key` and `value` inside a dictionary.
std::optional<std::string> entryText(std::string_view key, const Value& value) {
    const auto xml = encodeXml(Value(ValueDictionary{{std::string(key), value}}));
    if (!xml)
        return std::nullopt;
    const auto open = xml->find("<dict>\n");
    const auto close = xml->rfind("</dict>");
    if (open == std::string::npos || close == std::string::npos || close < open + 7)
        return std::nullopt;
    return xml->substr(open + 7, close - open - 7);
}

std::optional<std::string> spliceXml(std::string_view document, std::string_view key,
                                     const Value* value) {
    const auto layout = xml::rootDictionaryLayout(document);
    if (!layout)
        return std::nullopt;
    std::optional<std::string> entry;
    if (value && !(entry = entryText(key, *value)))
        return std::nullopt;
    std::string out;
    std::size_t copied = 0;
    bool placed = false;
    for (const auto& existing : layout->entries) {
        if (existing.key != key)
            continue;
        out.append(document.substr(copied, existing.begin - copied));
        copied = existing.end;
        if (entry && !placed) {
            // The entry text ends with a line break; the old entry's own one follows it.
            out.append(*entry, 0, entry->size() - 1);
            placed = true;
        } else if (copied < document.size() && document[copied] == '\n') {
            ++copied;
        }
    }
    if (entry && !placed) {
        out.append(document.substr(copied, layout->insertAt - copied));
        copied = layout->insertAt;
        if (layout->emptyTagLength) {
            out += "<dict>\n" + *entry + "</dict>";
            copied += layout->emptyTagLength;
        } else {
            out += *entry;
        }
    }
    out.append(document.substr(copied));
    return out;
}

} // namespace

std::optional<ByteString> encodeBinary(const Value& value) {
    Node node = toNode(value);
    if (!node)
        return std::nullopt;
    const auto text = toText(node.get(), true);
    if (!text)
        return std::nullopt;
    return ByteString(text->begin(), text->end());
}

std::optional<std::string> encodeXml(const Value& value) {
    Node node = toNode(value);
    if (!node)
        return std::nullopt;
    return toText(node.get(), false);
}

std::optional<std::string> unencodablePart(const Value& value) {
    return unencodablePart(value, "", 1);
}

Decoded decodeExplained(std::string_view bytes) {
    Decoded result;
    const Node root = parse(bytes, result.fault);
    if (!root)
        return result;
    result.value = fromNode(root.get(), 1);
    result.fault = result.value ? "" : "a value with no form in this program";
    return result;
}

std::optional<std::string> withKey(std::string_view document, std::string_view key,
                                   const Value* value) {
    if (document.empty()) {
        ValueDictionary fresh;
        if (value)
            fresh.emplace(std::string(key), *value);
        return encodeXml(Value(std::move(fresh)));
    }
    const Node root = parse(document);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    const std::string name(key);
    if (!isBinary(document)) {
        // Checked by reading it back, since the layout is found without a full parser.
        if (auto spliced = spliceXml(document, key, value)) {
            const Node check = parse(*spliced);
            const auto now = check ? fromNode(check.get(), 1) : std::nullopt;
            const Value* stored = now ? now->find(key) : nullptr;
            if (now && now->asDictionary() && (value ? stored && *stored == *value : !stored))
                return spliced;
        }
    }
    // The nodes of the other entries are kept as parsed.
    if (value) {
        Node node = toNode(*value);
        if (!node)
            return std::nullopt;
        plist_dict_set_item(root.get(), name.c_str(), node.release());
    } else {
        plist_dict_remove_item(root.get(), name.c_str());
    }
    return toText(root.get(), isBinary(document));
}

} // namespace tidemark::plist
