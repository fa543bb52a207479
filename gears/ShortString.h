// The short string of the gear records: a length byte and up to 255 characters in 256 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace linkwright {

#pragma pack(push, 1)
// A length-prefixed text of up to 255 characters in 256 bytes. A file may hold any length byte, so
// readers never trust it beyond the 255 characters there are.
struct ShortString255 {
    std::uint8_t Length;
    char Chars[255];

    std::string Text() const { return std::string(Chars, Length); }
    void Assign(std::string_view text) {
        const std::size_t n = text.size() < sizeof(Chars) ? text.size() : sizeof(Chars);
        Length = static_cast<std::uint8_t>(n);
        for (std::size_t i = 0; i < n; ++i) Chars[i] = text[i];
    }
};

#pragma pack(pop)

static_assert(sizeof(ShortString255) == 256);

} // namespace linkwright
