#pragma once
// The wave view of the voice engine: the message's voice drawn from its
// samples (the loudest and softest sample of each column), the playing
// position as a line, and the sync marks as numbered ticks along the top.
//
// The view keeps a summary of the voice (peaks of short blocks) made when
// the voice changes, so painting costs the same however long the message is.
#include "voice/PcmAudio.h"

#include <QWidget>

#include <cstdint>
#include <vector>

namespace pavonia {

class WaveView : public QWidget {
    Q_OBJECT
public:
    explicit WaveView(QWidget* parent = nullptr);

    // The voice to draw; summarised again only when it is another voice than
    // the last one (other samples, length or rate), or when `force` is set
    // (a voice changed in place, as a filter does).
    void setVoice(const PcmAudio& voice, bool force = false);
    // The playing position, in milliseconds; negative hides the line.
    void setPosition(std::int64_t ms);
    // The sync marks, in milliseconds (mark 0 at 0 is not drawn).
    void setMarks(const std::vector<std::int64_t>& marks);

    std::int64_t lengthMs() const { return lengthMs_; }
    std::int64_t position() const { return position_; }
    const std::vector<std::int64_t>& marks() const { return marks_; }
    // The x coordinate of a time, in the widget.
    int xAt(std::int64_t ms) const;

    QSize sizeHint() const override { return {320, 80}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Peak {
        std::int16_t low = 0, high = 0;
    };

    std::vector<Peak> peaks_; // one per block of kBlockFrames sample frames
    const std::int16_t* samplesSeen_ = nullptr;
    std::size_t sizeSeen_ = 0;
    int rateSeen_ = 0;
    std::int64_t lengthMs_ = 0;
    std::int64_t position_ = -1;
    std::vector<std::int64_t> marks_;
};

} // namespace pavonia
