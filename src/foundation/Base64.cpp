#include "foundation/Base64.h"

#include <array>

namespace tidemark::base64 {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char c) {
    const auto pos = kAlphabet.find(c);
    return pos == std::string_view::npos ? -1 : int(pos);
}

} // namespace

std::string encode(const ByteString& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::uint32_t n = (std::uint32_t(bytes[i]) << 16) |
                                (i + 1 < bytes.size() ? std::uint32_t(bytes[i + 1]) << 8 : 0) |
                                (i + 2 < bytes.size() ? std::uint32_t(bytes[i + 2]) : 0);
        out += kAlphabet[(n >> 18) & 63];
        out += kAlphabet[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kAlphabet[n & 63] : '=';
    }
    return out;
}

std::optional<ByteString> decode(std::string_view text) {
    std::string clean;
    for (char c : text)
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
            clean += c;
    if (clean.size() % 4 != 0)
        return std::nullopt;
    ByteString out;
    for (std::size_t i = 0; i < clean.size(); i += 4) {
        std::array<int, 4> v{};
        int padding = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = clean[i + k];
            if (c == '=' && i + 4 == clean.size() && k >= 2) {
                v[k] = 0;
                ++padding;
            } else if (padding > 0 || (v[k] = sextet(c)) < 0) {
                return std::nullopt;
            }
        }
        const std::uint32_t n = (v[0] << 18) | (v[1] << 12) | (v[2] << 6) | v[3];
        out.push_back(std::uint8_t(n >> 16));
        if (padding < 2)
            out.push_back(std::uint8_t(n >> 8));
        if (padding < 1)
            out.push_back(std::uint8_t(n));
    }
    return out;
}

} // namespace tidemark::base64
