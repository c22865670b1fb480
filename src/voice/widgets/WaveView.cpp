#include "voice/widgets/WaveView.h"

#include <QPainter>

#include <algorithm>

namespace pavonia {

namespace {

// About 5.8 ms at 22050 Hz: fine enough for any width a page gives the view.
constexpr std::size_t kBlockFrames = 128;

} // namespace

WaveView::WaveView(QWidget* parent) : QWidget(parent)
{
    setObjectName("waveView");
    setMinimumHeight(48);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WaveView::setVoice(const PcmAudio& voice, bool force)
{
    if (!force && voice.samples.data() == samplesSeen_ && voice.samples.size() == sizeSeen_ &&
        voice.sampleRate == rateSeen_)
        return;
    samplesSeen_ = voice.samples.data();
    sizeSeen_ = voice.samples.size();
    rateSeen_ = voice.sampleRate;
    lengthMs_ = voice.lengthMs();
    peaks_.clear();
    const std::size_t frames = voice.frameCount();
    const int channels = std::max(voice.channels, 1);
    peaks_.reserve(frames / kBlockFrames + 1);
    for (std::size_t start = 0; start < frames; start += kBlockFrames) {
        const std::size_t end = std::min(frames, start + kBlockFrames);
        Peak peak{INT16_MAX, INT16_MIN};
        for (std::size_t f = start; f < end; ++f)
            for (int c = 0; c < channels; ++c) {
                const std::int16_t s = voice.samples[f * std::size_t(channels) + std::size_t(c)];
                peak.low = std::min(peak.low, s);
                peak.high = std::max(peak.high, s);
            }
        peaks_.push_back(peak);
    }
    update();
}

void WaveView::setPosition(std::int64_t ms)
{
    if (ms == position_)
        return;
    position_ = ms;
    update();
}

void WaveView::setMarks(const std::vector<std::int64_t>& marks)
{
    if (marks == marks_)
        return;
    marks_ = marks;
    update();
}

int WaveView::xAt(std::int64_t ms) const
{
    if (lengthMs_ <= 0)
        return 0;
    const std::int64_t clamped = std::clamp<std::int64_t>(ms, 0, lengthMs_);
    return int(clamped * (width() - 1) / lengthMs_);
}

void WaveView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, QColor(16, 32, 24));
    const int middle = area.height() / 2;
    painter.setPen(QColor(40, 80, 60));
    painter.drawLine(0, middle, area.width(), middle);

    const int width = area.width();
    if (!peaks_.empty() && width > 0) {
        painter.setPen(QColor(80, 230, 120));
        const double half = std::max(1, middle - 2);
        for (int x = 0; x < width; ++x) {
            const std::size_t first = std::size_t(x) * peaks_.size() / std::size_t(width);
            const std::size_t last =
                std::max(first + 1, std::size_t(x + 1) * peaks_.size() / std::size_t(width));
            std::int16_t low = INT16_MAX, high = INT16_MIN;
            for (std::size_t i = first; i < last && i < peaks_.size(); ++i) {
                low = std::min(low, peaks_[i].low);
                high = std::max(high, peaks_[i].high);
            }
            if (low > high)
                continue;
            const int top = middle - int(high * half / 32768.0);
            const int bottom = middle - int(low * half / 32768.0);
            painter.drawLine(x, top, x, std::max(top, bottom));
        }
    }

    if (lengthMs_ > 0) {
        // Sync marks: a dashed line with the number of the picture that
        // starts there.
        QPen markPen(QColor(255, 200, 40));
        markPen.setStyle(Qt::DashLine);
        QFont small = font();
        small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
        painter.setFont(small);
        for (std::size_t i = 1; i < marks_.size(); ++i) {
            const int x = xAt(marks_[i]);
            painter.setPen(markPen);
            painter.drawLine(x, 0, x, area.height());
            painter.setPen(QColor(255, 220, 120));
            painter.drawText(QRect(x + 2, 0, 40, 14), Qt::AlignLeft | Qt::AlignTop, QString::number(i + 1));
        }
        if (position_ >= 0) {
            painter.setPen(QPen(QColor(255, 80, 80), 2));
            const int x = xAt(position_);
            painter.drawLine(x, 0, x, area.height());
        }
    }
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

} // namespace pavonia
