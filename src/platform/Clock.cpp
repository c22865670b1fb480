#include "platform/Clock.h"

#include <chrono>

namespace pavonia {

std::uint32_t SystemClock::tickCount() const
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::tm SystemClock::localNow() const
{
    std::time_t now = std::time(nullptr);
    std::tm result{};
    localtime_r(&now, &result);
    return result;
}

} // namespace pavonia
