// Byte sequences written as text in tests: "01 'OI' 0D" is SOH, 'O', 'I', CR.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testbytes {

using Bytes = std::vector<std::uint8_t>;

// Hex pairs and quoted ASCII runs, separated by spaces.
inline Bytes Parse(const std::string& text) {
    Bytes bytes;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
        } else if (text[i] == '\'') {
            std::size_t end = text.find('\'', i + 1);
            for (std::size_t j = i + 1; j < end; ++j)
                bytes.push_back(static_cast<std::uint8_t>(text[j]));
            i = end + 1;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
            i += 2;
        }
    }
    return bytes;
}

inline std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i)
            text += ' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

inline std::string Hex(const Bytes& bytes) {
    return Hex(bytes.data(), bytes.size());
}

} // namespace testbytes
