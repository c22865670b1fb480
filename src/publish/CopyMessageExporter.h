#pragma once
// The message exporter used until the voice engine's re-encoder is linked:
// the loaded message is written back byte for byte, whatever the quality.
#include "platform/MessageExporter.h"

#include <string>

namespace pavonia {

class CopyMessageExporter final : public MessageExporter {
public:
    bool LoadTpsFile(const std::string& path) override;
    bool SaveTpsFile(const std::string& path, int soundQuality) override;
    Failure lastError() const override { return error_; }

private:
    std::string loaded_;
    bool hasMessage_ = false;
    Failure error_;
};

} // namespace pavonia
