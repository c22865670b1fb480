#pragma once
// The desktop's "open" verb: shows a file or a web address in the program the
// user has chosen for it.
#include <string>

namespace pavonia {

class Shell {
public:
    virtual ~Shell() = default;
    virtual bool open(const std::string& pathOrUrl) = 0;
};

} // namespace pavonia
