#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <xcb/xproto.h>

// The readers of X window properties, over the bytes of a GetProperty reply rather than the
// reply itself: any X client may set any property to anything, so these are the rules a
// hostile value meets, testable without a server.
namespace tidemark::linux_platform {

// What a GetProperty reply carries, apart from the connection it came on.
struct PropertyValue {
    xcb_atom_t type = XCB_ATOM_NONE;
    std::uint8_t format = 0;
    std::string_view bytes;
};

// Borrows the value of a reply (none: an empty value of no type).
PropertyValue propertyValue(const xcb_get_property_reply_t* reply);

// The 32-bit items of a value of exactly `type` and format 32; none otherwise.
std::vector<std::uint32_t> propertyWords(const PropertyValue& value, xcb_atom_t type);
std::optional<std::uint32_t> firstPropertyWord(const PropertyValue& value, xcb_atom_t type);

// Text of a format-8 value of any type, up to its first NUL, repaired and bounded.
std::optional<std::string> propertyText(const PropertyValue& value, std::size_t maxBytes);

// Whether a WM_HINTS value carries the ICCCM urgency hint (bit 8 of its flags).
bool wmHintsUrgent(const PropertyValue& value);

// A _NET_WM_PID claim: a CARDINAL naming a process id the kernel could hand out.
std::optional<std::int32_t> claimedPid(const PropertyValue& value);

} // namespace tidemark::linux_platform
