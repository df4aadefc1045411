#pragma once

#include <optional>
#include <string>
#include <string_view>

// A time of day as the clock shows it: hour 0 … 23, minute and second 0 … 59.
struct ClockTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The glyphs the 12-hour clock ends with: the digit texture's morning and afternoon markers, reached through
// the two characters after the colon.
inline constexpr char morningGlyph = ';';
inline constexpr char afternoonGlyph = '<';

// The clock's text: "HH:MM:SS" with two digits each. The 12-hour clock shows midnight and noon as 12 and ends
// with the morning or afternoon glyph; noon and every hour after it are afternoon.
std::string clockText(ClockTime time, bool twelveHour);

// The machine's local time of day, now.
ClockTime localClockTime();

// "HH:MM:SS" as a time of day; none when the text is not exactly that or a field is out of range.
std::optional<ClockTime> parseClockTime(std::string_view text);
