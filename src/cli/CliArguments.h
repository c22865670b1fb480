#pragma once
// Reading the values given on pavonia-cli's command line.
#include <optional>
#include <string>

namespace pavonia::cli {

// A whole decimal number of at most nine digits (no sign, no blanks) within
// [low, high], or nothing.
inline std::optional<int> wholeNumber(const std::string& text, int low, int high)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace pavonia::cli
