#pragma once
// Small text helpers shared by every layer: ASCII case folding, trimming,
// file-name parts of paths that may come from Windows, and wildcard matching.
#include <string>
#include <string_view>

namespace pavonia {

std::string toLowerAscii(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// The ASCII white space the C locale's isspace knows: space, tab, line feed,
// carriage return, form feed and vertical tab.
inline constexpr std::string_view kAsciiBlanks = " \t\n\r\f\v";
// `text` without the characters of `blanks` at either end.
std::string trimmed(std::string_view text, std::string_view blanks = kAsciiBlanks);

// The text after the last "\" or "/", whichever comes last; the whole text
// when there is neither.
std::string finalComponent(std::string_view path);
// Everything up to and including the last "\" or "/"; empty when none.
std::string folderOf(std::string_view path);
// The text after the last "." of the final component; empty when none.
std::string extensionOf(std::string_view path);
// The final component without its last "." and what follows.
std::string baseNameOf(std::string_view path);

// "*" matches any run of characters, "?" one character; ASCII case is ignored.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// printf's "%.2f" in the C locale, whatever the user's locale is.
std::string formatFixed2(double value);
// Reads a decimal number the way the C runtime's atof does: leading blanks,
// then as much of a number as there is; 0 when there is none.
double parseLeadingDouble(std::string_view text);
// Reads an integer as atoi does: leading blanks, optional sign, digits.
long long parseLeadingInteger(std::string_view text);
// parseLeadingInteger held to the range of int: larger numbers read as the
// nearest end of the range.
int parseClampedInt(std::string_view text);

} // namespace pavonia
