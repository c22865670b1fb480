#pragma once
// The desktop's "open" verb on a free desktop: hands the file or address to
// xdg-open, which starts the program the user chose for it.
#include "platform/Shell.h"

namespace pavonia {

class DesktopShell final : public Shell {
public:
    // True when the opener could be started; it runs on by itself.
    bool open(const std::string& pathOrUrl) override;
};

} // namespace pavonia
