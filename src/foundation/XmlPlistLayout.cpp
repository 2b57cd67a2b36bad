#include "foundation/XmlPlistLayout.h"

#include <charconv>

namespace tidemark::plist::xml {
namespace {

struct Tag {
    enum class Kind { Open, Close, Empty, Other };
    Kind kind = Kind::Other;
    std::string_view name;
    std::size_t begin = 0;
    std::size_t end = 0; // just past '>'
};

bool isNameEnd(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '/' || c == '>';
}

// Position just past `terminator` from `from`; npos when missing.
std::size_t pastTerminator(std::string_view text, std::size_t from, std::string_view terminator) {
    const auto at = text.find(terminator, from);
    return at == std::string_view::npos ? at : at + terminator.size();
}

// End of a tag starting at `begin`, honouring quoted attribute values and, for a document
// type declaration, its bracketed internal subset.
std::size_t endOfMarkup(std::string_view text, std::size_t begin) {
    char quote = 0;
    int brackets = 0;
    for (std::size_t i = begin + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            --brackets;
        } else if (c == '>' && brackets <= 0) {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

// The next markup at or after `pos`; nothing at the end of the text or on broken markup
// (`broken` tells the two apart).
std::optional<Tag> nextTag(std::string_view text, std::size_t& pos, bool& broken) {
    const auto begin = text.find('<', pos);
    if (begin == std::string_view::npos) {
        pos = text.size();
        return std::nullopt;
    }
    Tag tag;
    tag.begin = begin;
    const auto rest = text.substr(begin);
    if (rest.starts_with("<!--"))
        tag.end = pastTerminator(text, begin + 4, "-->");
    else if (rest.starts_with("<![CDATA["))
        tag.end = pastTerminator(text, begin + 9, "]]>");
    else if (rest.starts_with("<?"))
        tag.end = pastTerminator(text, begin + 2, "?>");
    else {
        tag.end = endOfMarkup(text, begin);
        if (tag.end != std::string_view::npos && !rest.starts_with("<!")) {
            const bool closing = rest.starts_with("</");
            std::size_t nameEnd = closing ? 2 : 1;
            while (begin + nameEnd < tag.end && !isNameEnd(text[begin + nameEnd]))
                ++nameEnd;
            tag.name = text.substr(begin + (closing ? 2 : 1), nameEnd - (closing ? 2 : 1));
            tag.kind = closing                    ? Tag::Kind::Close
                       : text[tag.end - 2] == '/' ? Tag::Kind::Empty
                                                  : Tag::Kind::Open;
        }
    }
    if (tag.end == std::string_view::npos) {
        broken = true;
        return std::nullopt;
    }
    pos = tag.end;
    return tag;
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// Character data between two tags: entities and CDATA sections resolved.
std::string decodeText(std::string_view raw) {
    std::string out;
    for (std::size_t i = 0; i < raw.size();) {
        if (raw.substr(i).starts_with("<![CDATA[")) {
            const auto end = raw.find("]]>", i + 9);
            out += raw.substr(i + 9, end - (i + 9));
            i = end == std::string_view::npos ? raw.size() : end + 3;
            continue;
        }
        const auto semicolon = raw[i] == '&' ? raw.find(';', i) : std::string_view::npos;
        if (semicolon == std::string_view::npos) {
            out += raw[i++];
            continue;
        }
        const auto entity = raw.substr(i + 1, semicolon - i - 1);
        static constexpr std::pair<std::string_view, char> kNamed[] = {
            {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
        bool known = false;
        for (const auto& [name, c] : kNamed)
            if (entity == name) {
                out += c;
                known = true;
            }
        if (!known && entity.starts_with('#')) {
            const bool hex = entity.starts_with("#x") || entity.starts_with("#X");
            const auto digits = entity.substr(hex ? 2 : 1);
            std::uint32_t code = 0;
            const auto [end, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            if (ec == std::errc() && end == digits.data() + digits.size() && code <= 0x10FFFF) {
                appendUtf8(out, code);
                known = true;
            }
        }
        if (!known)
            out += raw.substr(i, semicolon - i + 1);
        i = semicolon + 1;
    }
    return out;
}

// Start of the line holding `at` when only blanks precede it there, else `at`.
std::size_t lineStart(std::string_view text, std::size_t at) {
    std::size_t i = at;
    while (i > 0 && (text[i - 1] == ' ' || text[i - 1] == '\t'))
        --i;
    return i == 0 || text[i - 1] == '\n' ? i : at;
}

// Just past the element whose opening tag is `open`; npos when it never closes.
std::size_t endOfElement(std::string_view text, const Tag& open) {
    if (open.kind == Tag::Kind::Empty)
        return open.end;
    std::size_t pos = open.end;
    bool broken = false;
    int depth = 1;
    while (auto tag = nextTag(text, pos, broken)) {
        if (tag->kind == Tag::Kind::Open)
            ++depth;
        else if (tag->kind == Tag::Kind::Close && --depth == 0)
            return tag->end;
    }
    return std::string_view::npos;
}

// The next element tag at or after `pos`, skipping comments and declarations.
std::optional<Tag> nextElementTag(std::string_view text, std::size_t& pos) {
    bool broken = false;
    while (auto tag = nextTag(text, pos, broken))
        if (tag->kind != Tag::Kind::Other)
            return tag;
    return std::nullopt;
}

} // namespace

std::optional<std::size_t> nestingDepth(std::string_view text) {
    struct Open {
        bool isDictionary = false;
        bool awaitsValue = false; // a dictionary whose last key has no value yet
    };
    std::vector<Open> open;
    std::size_t pos = 0, deepest = 0;
    bool broken = false;
    while (auto tag = nextTag(text, pos, broken)) {
        if (tag->kind == Tag::Kind::Other)
            continue;
        if (tag->kind == Tag::Kind::Close) {
            if (open.empty() || open.back().awaitsValue)
                return std::nullopt;
            open.pop_back();
            continue;
        }
        if (!open.empty() && open.back().isDictionary) {
            // A dictionary holds keys and values in turn, starting with a key.
            const bool isKey = tag->name == "key";
            if (isKey == open.back().awaitsValue)
                return std::nullopt;
            open.back().awaitsValue = isKey;
        }
        deepest = std::max(deepest, open.size() + 1);
        if (tag->kind == Tag::Kind::Open)
            open.push_back({tag->name == "dict", false});
    }
    if (broken || !open.empty())
        return std::nullopt;
    return deepest;
}

std::optional<DictionaryLayout> rootDictionaryLayout(std::string_view text) {
    std::size_t pos = 0;
    auto root = nextElementTag(text, pos);
    if (root && root->name == "plist" && root->kind == Tag::Kind::Open)
        root = nextElementTag(text, pos);
    if (!root || root->name != "dict")
        return std::nullopt;
    DictionaryLayout layout;
    if (root->kind == Tag::Kind::Empty) {
        layout.insertAt = root->begin;
        layout.emptyTagLength = root->end - root->begin;
        return layout;
    }
    if (root->kind != Tag::Kind::Open)
        return std::nullopt;
    for (;;) {
        const auto tag = nextElementTag(text, pos);
        if (!tag)
            return std::nullopt;
        if (tag->kind == Tag::Kind::Close && tag->name == "dict") {
            layout.insertAt = lineStart(text, tag->begin);
            return layout;
        }
        if (tag->kind != Tag::Kind::Open || tag->name != "key")
            return std::nullopt;
        const auto keyClose = text.find("</key>", tag->end);
        if (keyClose == std::string_view::npos)
            return std::nullopt;
        pos = keyClose + 6;
        const auto value = nextElementTag(text, pos);
        if (!value || value->kind == Tag::Kind::Close)
            return std::nullopt;
        const auto end = endOfElement(text, *value);
        if (end == std::string_view::npos)
            return std::nullopt;
        layout.entries.push_back(
            DictionaryEntry{decodeText(text.substr(tag->end, keyClose - tag->end)),
                            lineStart(text, tag->begin), end});
        pos = end;
    }
}

} // namespace tidemark::plist::xml
