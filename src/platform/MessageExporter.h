#pragma once
// Re-encodes a talking message for publishing: load a message file, then
// save it at a sound quality (1 High, 2 Middle, 3 Low). Publishing takes
// this interface; the voice engine provides the real one, and a plain copy
// stands in where no engine is linked.
#include "platform/Result.h"

#include <string>

namespace pavonia {

class MessageExporter {
public:
    virtual ~MessageExporter() = default;
    // True when the message was read.
    virtual bool LoadTpsFile(const std::string& path) = 0;
    // True when the loaded message was written to `path` at `soundQuality`.
    virtual bool SaveTpsFile(const std::string& path, int soundQuality) = 0;
    // Why the last call failed, with the system error when there was one.
    virtual Failure lastError() const { return {}; }
};

} // namespace pavonia
