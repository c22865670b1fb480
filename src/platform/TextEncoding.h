#pragma once
// Text read from files written by other programs: UTF-8 is taken as it is; any
// other byte sequence is taken as Windows-1252, the code page of the files
// the Windows program wrote, and turned into UTF-8.
#include <string>
#include <string_view>

namespace pavonia {

bool isValidUtf8(std::string_view bytes);
std::string windows1252ToUtf8(std::string_view bytes);
std::string decodeStoredText(std::string_view bytes);

} // namespace pavonia
