#include "objects/script_scan.h"

#include <cctype>
#include <charconv>

namespace {

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Reads through a line from the front, the way a scanf conversion consumes its input.
class LineCursor {
public:
    explicit LineCursor(std::string_view line) : rest_(line) {}

    void skipBlanks() {
        while (!rest_.empty() && isBlank(rest_.front()))
            rest_.remove_prefix(1);
    }

    bool take(char expected) {
        if (rest_.empty() || rest_.front() != expected)
            return false;
        rest_.remove_prefix(1);
        return true;
    }

    // A decimal number with an optional sign, as "%f" accepts it.
    bool number(float& value) {
        skipBlanks();
        std::string_view digits = rest_;
        if (digits.starts_with('+')) {
            digits.remove_prefix(1);
            if (digits.starts_with('-'))
                return false;
        }
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error == std::errc::invalid_argument)
            return false;
        // Out of range numbers still consume their characters; from_chars leaves the value as it was.
        rest_.remove_prefix(static_cast<std::size_t>(end - rest_.data()));
        return true;
    }

    bool word(ScanWord field) {
        skipBlanks();
        std::size_t length = 0;
        while (length < rest_.size() && !isBlank(rest_[length]))
            ++length;
        if (length == 0)
            return false;
        field.text.assign(rest_.substr(0, std::min(length, field.maxLength)));
        rest_.remove_prefix(length);
        return true;
    }

private:
    std::string_view rest_;
};

} // namespace

int scanLineFields(std::string_view line, std::string_view pattern, std::span<const ScanField> fields) {
    LineCursor cursor(line);
    int converted = 0;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        const char c = pattern[at];
        if (isBlank(c)) {
            cursor.skipBlanks();
        } else if (c == '%' && at + 1 < pattern.size()) {
            const char conversion = pattern[++at];
            if (static_cast<std::size_t>(converted) == fields.size())
                return converted;
            const ScanField& field = fields[static_cast<std::size_t>(converted)];
            // A conversion whose field is of the other type is a mistake in the caller's pattern: stop there.
            const bool read = (conversion == 'f' && std::holds_alternative<float*>(field) &&
                               cursor.number(*std::get<float*>(field))) ||
                              (conversion == 's' && std::holds_alternative<ScanWord>(field) &&
                               cursor.word(std::get<ScanWord>(field)));
            if (!read)
                return converted;
            ++converted;
        } else if (!cursor.take(c)) {
            return converted;
        }
    }
    return converted;
}
