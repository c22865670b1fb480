#include "DevTools.h"

#include "LoopbackHttpServer.h"

namespace pavonia::test {

std::string fileUrl(const std::string& path)
{
    return "file://" + escapeUrlPath(path);
}

} // namespace pavonia::test
