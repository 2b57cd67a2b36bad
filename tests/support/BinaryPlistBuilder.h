#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tidemark::testing {

// Writes binary property lists object by object, references as given, so that tests can
// build what no encoder writes: shared containers, cycles, references past the end.
class BinaryPlistBuilder {
public:
    // Returns the new object's index.
    std::uint64_t array(const std::vector<std::uint64_t>& references) {
        std::string object;
        if (references.size() < 15) {
            object += char(0xA0 | references.size());
        } else {
            object += char(0xAF);
            object += char(0x13);
            object += bigEndian(references.size(), 8);
        }
        for (const auto reference : references)
            object += bigEndian(reference, kReferenceSize);
        return add(std::move(object));
    }
    std::uint64_t integer(std::int64_t value) {
        return add(char(0x13) + bigEndian(std::uint64_t(value), 8));
    }
    std::uint64_t size() const { return objects_.size(); }

    std::string document(std::uint64_t root = 0) const {
        std::string bytes = "bplist00";
        std::vector<std::uint64_t> offsets;
        for (const auto& object : objects_) {
            offsets.push_back(bytes.size());
            bytes += object;
        }
        const std::uint64_t tableAt = bytes.size();
        for (const auto offset : offsets)
            bytes += bigEndian(offset, 8);
        bytes += std::string(6, '\0');
        bytes += char(8);
        bytes += char(kReferenceSize);
        bytes += bigEndian(objects_.size(), 8) + bigEndian(root, 8) + bigEndian(tableAt, 8);
        return bytes;
    }

    // `levels` arrays, each holding the next, around one integer.
    static std::string nested(std::uint64_t levels) {
        BinaryPlistBuilder builder;
        for (std::uint64_t i = 0; i < levels; ++i)
            builder.array({i + 1});
        builder.integer(1);
        return builder.document();
    }

private:
    static constexpr std::size_t kReferenceSize = 4;

    static std::string bigEndian(std::uint64_t value, std::size_t width) {
        std::string bytes(width, '\0');
        for (std::size_t i = 0; i < width; ++i)
            bytes[width - 1 - i] = char((value >> (8 * i)) & 0xFF);
        return bytes;
    }
    std::uint64_t add(std::string object) {
        objects_.push_back(std::move(object));
        return objects_.size() - 1;
    }

    std::vector<std::string> objects_;
};

} // namespace tidemark::testing
