#include "platform/Text.h"

#include <algorithm>
#include <limits>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace pavonia {

namespace {
char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t lastSeparator(std::string_view path)
{
    return path.find_last_of("\\/");
}

bool isBlank(char c) { return kAsciiBlanks.find(c) != std::string_view::npos; }
} // namespace

std::string toLowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

std::string trimmed(std::string_view text, std::string_view blanks)
{
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

std::string finalComponent(std::string_view path)
{
    const auto sep = lastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string folderOf(std::string_view path)
{
    const auto sep = lastSeparator(path);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string extensionOf(std::string_view path)
{
    const std::string name = finalComponent(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string baseNameOf(std::string_view path)
{
    const std::string name = finalComponent(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool wildcardMatch(std::string_view pattern, std::string_view name)
{
    // Iterative matcher with one backtrack point for the last "*".
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string formatFixed2(double value)
{
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (ec != std::errc())
        return "0.00";
    return std::string(buffer, end);
}

double parseLeadingDouble(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // from_chars does not take a sign of "+" nor a leading "." in all
    // libraries, so the number is handed over without its sign.
    std::string digits(text.substr(i));
    if (!digits.empty() && digits[0] == '.')
        digits.insert(digits.begin(), '0');
    double value = 0;
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                     std::chars_format::general);
    (void)ptr;
    if (ec != std::errc())
        return 0;
    return negative ? -value : value;
}

long long parseLeadingInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < 100000000000000000LL)
            value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

int parseClampedInt(std::string_view text)
{
    return static_cast<int>(std::clamp<long long>(parseLeadingInteger(text), std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

} // namespace pavonia
