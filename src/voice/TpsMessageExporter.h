#pragma once
// The message exporter publishing uses: loads a talking message and writes it
// again at an export sound quality. 1 High keeps the voice as it is (16-bit,
// at most 44100 Hz); 2 Middle is mono at 22050 Hz; 3 Low is mono 8-bit at
// 11025 Hz. Lower rates never go up; the lip-sync frames and text-mode text
// are kept, and the file stays a valid message.
#include "platform/MessageExporter.h"
#include "voice/TalkingMessage.h"
#include "platform/Result.h"
#include "platform/StringTable.h"

#include <optional>
#include <string>

namespace pavonia {

class TpsMessageExporter : public MessageExporter {
public:
    bool LoadTpsFile(const std::string& path) override;
    // Quality outside 1-3 is taken as 2. False without a loaded message.
    bool SaveTpsFile(const std::string& path, int soundQuality) override;

    Failure lastError() const override { return error_; }

private:
    std::optional<TalkingMessage> message_;
    Failure error_;
};

} // namespace pavonia
