#include "app/OpenRequest.h"

#include <algorithm>

namespace pavonia {

std::vector<std::uint8_t> encodeOpenRequest(const std::string& path)
{
    std::vector<std::uint8_t> data(std::max(kOpenRequestSize, kApplicationIdentifier.size() + path.size() + 1), 0);
    std::copy(kApplicationIdentifier.begin(), kApplicationIdentifier.end(), data.begin());
    std::copy(path.begin(), path.end(), data.begin() + kApplicationIdentifier.size());
    return data;
}

std::optional<std::string> decodeOpenRequest(std::uint32_t tag, const std::vector<std::uint8_t>& data)
{
    if (tag != kOpenRequestTag || data.size() < kApplicationIdentifier.size() ||
        !std::equal(kApplicationIdentifier.begin(), kApplicationIdentifier.end(), data.begin()))
        return std::nullopt;
    const auto begin = data.begin() + kApplicationIdentifier.size();
    const auto end = std::find(begin, data.end(), std::uint8_t(0));
    return std::string(begin, end);
}

} // namespace pavonia
