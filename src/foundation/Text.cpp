#include "foundation/Text.h"

#include <cstdio>
#include <memory>
#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace tidemark::text {
namespace {

icu::UnicodeString fromUtf8(std::string_view utf8) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), int32_t(utf8.size())));
}

std::string toUtf8(const icu::UnicodeString& s) {
    std::string out;
    s.toUTF8String(out);
    return out;
}

std::unique_ptr<icu::BreakIterator> characterBreaks(const icu::UnicodeString& s) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status))
        return nullptr;
    it->setText(s);
    return it;
}

} // namespace

std::string toUpper(std::string_view utf8) {
    auto s = fromUtf8(utf8);
    return toUtf8(s.toUpper(icu::Locale::getRoot()));
}

std::string toLower(std::string_view utf8) {
    auto s = fromUtf8(utf8);
    return toUtf8(s.toLower(icu::Locale::getRoot()));
}

std::string prefixCharacters(std::string_view utf8, std::size_t count) {
    const auto s = fromUtf8(utf8);
    auto breaks = characterBreaks(s);
    if (!breaks)
        return toUtf8(s);
    int32_t end = breaks->first();
    for (std::size_t i = 0; i < count; ++i) {
        const int32_t next = breaks->next();
        if (next == icu::BreakIterator::DONE)
            break;
        end = next;
    }
    return toUtf8(s.tempSubString(0, end));
}

std::size_t characterCount(std::string_view utf8) {
    const auto s = fromUtf8(utf8);
    auto breaks = characterBreaks(s);
    if (!breaks)
        return std::size_t(s.countChar32());
    std::size_t n = 0;
    breaks->first();
    while (breaks->next() != icu::BreakIterator::DONE)
        ++n;
    return n;
}

std::string capitalized(std::string_view utf8) {
    auto s = fromUtf8(utf8);
    return toUtf8(s.toTitle(nullptr, icu::Locale::getRoot()));
}

std::string repairUtf8(std::string_view bytes) {
    return toUtf8(fromUtf8(bytes));
}

std::string boundedUtf8(std::string_view bytes, std::size_t maxBytes) {
    std::string repaired = repairUtf8(bytes.substr(0, maxBytes + 4));
    if (repaired.size() <= maxBytes)
        return repaired;
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(repaired[cut]) & 0xC0) == 0x80)
        --cut;
    repaired.resize(cut);
    return repaired;
}

std::string boundedName(std::string_view bytes, std::size_t maxBytes) {
    auto name = boundedUtf8(bytes, maxBytes);
    // Each control is E2 80 AA..AE or E2 81 A6..A9; most names hold no E2 byte at all.
    std::size_t at = name.find('\xE2');
    if (at == std::string::npos)
        return name;
    std::size_t kept = at;
    for (; at < name.size(); ++at) {
        const auto second = at + 2 < name.size() ? static_cast<unsigned char>(name[at + 1]) : 0;
        const auto third = at + 2 < name.size() ? static_cast<unsigned char>(name[at + 2]) : 0;
        const bool control =
            name[at] == '\xE2' && ((second == 0x80 && third >= 0xAA && third <= 0xAE) ||
                                   (second == 0x81 && third >= 0xA6 && third <= 0xA9));
        if (control)
            at += 2;
        else
            name[kept++] = name[at];
    }
    name.resize(kept);
    return name;
}

std::string printable(std::string_view text) {
    const auto repaired = repairUtf8(text);
    std::string out;
    out.reserve(repaired.size());
    const auto hex = [&](unsigned code, const char* prefix, int digits) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%s%0*x", prefix, digits, code);
        out += buffer;
    };
    for (std::size_t i = 0; i < repaired.size(); ++i) {
        const auto c = static_cast<unsigned char>(repaired[i]);
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c < 0x20 || c == 0x7F)
            hex(c, "\\x", 2);
        else if (c == 0xC2 && i + 1 < repaired.size() &&
                 static_cast<unsigned char>(repaired[i + 1]) < 0xA0) {
            hex(static_cast<unsigned char>(repaired[++i]), "\\u", 4); // U+0080 to U+009F
        } else
            out += char(c);
    }
    return out;
}

} // namespace tidemark::text
