#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <variant>

// A "%s" field: the word is stored in `text`, cut to `maxLength` characters (the rest of the word is still
// consumed, so the conversions after it read what follows the word).
struct ScanWord {
    std::string& text;
    std::size_t maxLength;
};

using ScanField = std::variant<float*, ScanWord>;

// Reads values from a script line with the scanf-style pattern the scripts are written for, such as
// "radius %f" or "parent %s V(%f %f %f)":
// - a blank in the pattern matches any run of white space in the line, none at all included, so "env %s"
//   reads "elope" from "envelope";
// - "%f" skips white space and reads a decimal number; "%s" skips white space and reads a blank-free word;
// - any other pattern character must equal the next character of the line.
// Scanning stops at the first mismatch; the fields converted before it keep their new values and the
// others keep theirs, as the scripts have always relied on. Returns the number of fields converted.
int scanLineFields(std::string_view line, std::string_view pattern, std::span<const ScanField> fields);

inline ScanField toScanField(float& value) {
    return &value;
}
inline ScanField toScanField(ScanWord word) {
    return word;
}

// The same with the fields as arguments: float& for "%f", ScanWord for "%s", in pattern order.
template <typename... Fields>
int scanLine(std::string_view line, std::string_view pattern, Fields&&... fields) {
    const ScanField list[] = {toScanField(fields)...};
    return scanLineFields(line, pattern, list);
}
