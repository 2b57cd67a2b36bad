#include "platform/linux/x11/XSettings.h"

#include "foundation/Text.h"

namespace tidemark::linux_platform::xsettings {
namespace {

enum class Type : std::uint8_t { Integer = 0, String = 1, Color = 2 };

// Reads fixed-size fields in the property's byte order; any read past the end fails.
class Reader {
public:
    Reader(std::span<const std::uint8_t> bytes, bool bigEndian)
        : bytes_(bytes), bigEndian_(bigEndian) {}

    bool skip(std::size_t count) {
        if (count > bytes_.size() - at_)
            return false;
        at_ += count;
        return true;
    }
    bool pad() { return skip((4 - at_ % 4) % 4); }
    std::optional<std::uint32_t> number(std::size_t width) {
        if (width > bytes_.size() - at_)
            return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t index = bigEndian_ ? i : width - 1 - i;
            value = (value << 8) | bytes_[at_ + index];
        }
        at_ += width;
        return value;
    }
    std::optional<std::string> text(std::size_t length) {
        if (length > bytes_.size() - at_)
            return std::nullopt;
        std::string value(reinterpret_cast<const char*>(bytes_.data() + at_), length);
        at_ += length;
        return value;
    }

private:
    std::span<const std::uint8_t> bytes_;
    bool bigEndian_;
    std::size_t at_ = 0;
};

std::optional<SettingValue> readValue(Reader& reader, Type type) {
    switch (type) {
    case Type::Integer:
        if (const auto value = reader.number(4))
            return SettingValue(std::int32_t(*value));
        return std::nullopt;
    case Type::String: {
        const auto length = reader.number(4);
        auto value = length ? reader.text(*length) : std::nullopt;
        if (!value || !reader.pad())
            return std::nullopt;
        return SettingValue(std::move(*value));
    }
    case Type::Color: {
        Color color{};
        for (auto& channel : color) {
            const auto value = reader.number(2);
            if (!value)
                return std::nullopt;
            channel = std::uint16_t(*value);
        }
        return SettingValue(color);
    }
    }
    return std::nullopt;
}

} // namespace

std::optional<Settings> parse(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes[0] > 1)
        return std::nullopt;
    Reader reader(bytes, bytes[0] == 1);
    if (!reader.skip(4) || !reader.number(4)) // byte order and padding, serial
        return std::nullopt;
    const auto count = reader.number(4);
    if (!count)
        return std::nullopt;
    Settings settings;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const auto type = reader.number(1);
        if (!type || *type > std::uint8_t(Type::Color) || !reader.skip(1))
            return std::nullopt;
        const auto nameLength = reader.number(2);
        auto name = nameLength ? reader.text(*nameLength) : std::nullopt;
        if (!name || !reader.pad() || !reader.number(4)) // last-change serial
            return std::nullopt;
        auto value = readValue(reader, Type(*type));
        if (!value)
            return std::nullopt;
        settings.insert_or_assign(std::move(*name), std::move(*value));
    }
    return settings;
}

std::optional<std::string> themeName(const Settings& settings) {
    const auto it = settings.find("Net/ThemeName");
    if (it == settings.end())
        return std::nullopt;
    const auto* name = std::get_if<std::string>(&it->second);
    return name ? std::optional<std::string>(*name) : std::nullopt;
}

Appearance resolveAppearance(const AppearanceSources& sources) {
    if (sources.portalColorScheme == kPortalPrefersDark)
        return Appearance::Dark;
    if (sources.portalColorScheme == kPortalPrefersLight)
        return Appearance::Light;
    const auto& theme =
        sources.xsettingsThemeName ? sources.xsettingsThemeName : sources.gtkThemeVariable;
    if (theme && text::toLower(*theme).find("dark") != std::string::npos)
        return Appearance::Dark;
    return Appearance::Light;
}

} // namespace tidemark::linux_platform::xsettings
