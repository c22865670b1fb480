#include "voice/VoiceFilters.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include <soundtouch/SoundTouch.h>

namespace pavonia {

namespace {

constexpr double kFadeMs = 20.0;    // crossfade at each edge of the edited range
constexpr double kContextMs = 200.0; // sound around the range the pitch filters read
constexpr double kLimitKnee = 24576.0;
constexpr double kLimitCeiling = 32767.0;

int32_t clampSetting(int32_t value) { return std::clamp<int32_t>(value, 0, 100); }

// ---- Period tracking (for the head size filter) ---------------------------

// The local period of the voice, one value every `hop` samples. Measured by
// normalised autocorrelation on a copy reduced to about 8 kHz, which is
// plenty for voice pitches of 60 to 400 Hz and keeps the work small. Where no
// clear period is found (silence, hiss) a period of 8 ms stands in.
struct PeriodTrack {
    std::size_t hop = 1;
    std::vector<double> periods; // in samples of the full rate

    double at(double pos) const
    {
        if (periods.empty())
            return 1.0;
        std::size_t i = std::min(std::size_t(std::max(pos, 0.0)) / hop, periods.size() - 1);
        return periods[i];
    }
};

PeriodTrack trackPeriods(const std::vector<float>& x, int rate)
{
    const int step = std::max(1, rate / 8000);
    const double lowRate = double(rate) / step;
    std::vector<float> low(x.size() / step);
    for (std::size_t i = 0; i < low.size(); ++i) {
        float sum = 0;
        for (int j = 0; j < step; ++j)
            sum += x[i * step + j];
        low[i] = sum / float(step);
    }

    const int minLag = std::max(2, int(lowRate / 400.0));
    const int maxLag = std::max(minLag + 2, int(lowRate / 60.0));
    const int window = 2 * maxLag;
    const std::size_t lowHop = std::max<std::size_t>(1, std::size_t(lowRate * 0.02));
    const double fallback = rate * 0.008;

    PeriodTrack track;
    track.hop = lowHop * step;
    std::vector<double> r(maxLag + 2);
    for (std::size_t frame = 0; frame * lowHop < std::max<std::size_t>(low.size(), 1); ++frame) {
        // The window is centred on the frame's position where the sound allows.
        std::size_t centre = frame * lowHop;
        // The window, lagged by up to maxLag + 1, and the next sample the
        // sliding energy takes in.
        std::size_t need = std::size_t(window + maxLag + 2);
        double period = fallback;
        if (low.size() >= need) {
            std::size_t begin = centre > need / 2 ? centre - need / 2 : 0;
            begin = std::min(begin, low.size() - need);
            const float* a = low.data() + begin;
            double e0 = 0;
            for (int i = 0; i < window; ++i)
                e0 += double(a[i]) * a[i];
            double eLag = 0;
            for (int i = 0; i < window; ++i)
                eLag += double(a[i + minLag]) * a[i + minLag];
            double best = 0;
            for (int lag = minLag; lag <= maxLag + 1; ++lag) {
                float dot = 0;
                for (int i = 0; i < window; ++i)
                    dot += a[i] * a[i + lag];
                double denom = std::sqrt(e0 * eLag);
                r[lag] = denom > 1e-6 ? dot / denom : 0.0;
                best = std::max(best, lag <= maxLag ? r[lag] : 0.0);
                // Slide the lagged energy one sample on.
                eLag += double(a[lag + window]) * a[lag + window] - double(a[lag]) * a[lag];
            }
            if (best > 0.4) {
                // The shortest lag at a peak close to the best one: a voice
                // repeats at twice its period too, and that must not win.
                for (int lag = minLag + 1; lag <= maxLag; ++lag) {
                    if (r[lag] >= 0.85 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
                        double denom = r[lag - 1] - 2 * r[lag] + r[lag + 1];
                        double shift = std::abs(denom) > 1e-12 ? 0.5 * (r[lag - 1] - r[lag + 1]) / denom : 0.0;
                        period = (lag + std::clamp(shift, -0.5, 0.5)) * step;
                        break;
                    }
                }
            }
        }
        track.periods.push_back(period);
    }
    return track;
}

// ---- The filters, each on one channel as floating-point samples -----------

// Moves the formants by `factor` and keeps the pitch: grains two periods long,
// taken at every period, are squeezed (or stretched) in time by the factor and
// laid down again one period apart, so the spectral envelope scales while the
// grains still repeat at the voice's own period.
std::vector<float> shiftFormants(const std::vector<float>& x, int rate, double factor)
{
    const PeriodTrack track = trackPeriods(x, rate);
    const double last = double(x.size()) - 1;
    std::vector<float> y(x.size(), 0.0f);
    std::vector<float> weight(x.size(), 0.0f);
    auto sampleAt = [&](double pos) {
        pos = std::clamp(pos, 0.0, last);
        std::size_t i = std::size_t(pos);
        double f = pos - double(i);
        float next = i + 1 < x.size() ? x[i + 1] : x[i];
        return float(x[i] + f * (next - x[i]));
    };
    for (double centre = 0; centre <= last;) {
        const double period = std::max(2.0, track.at(centre));
        const long first = long(std::ceil(centre - period));
        const long end = long(std::floor(centre + period));
        for (long i = std::max(first, 0L); i <= end && i <= long(last); ++i) {
            double t = double(i) - centre;
            float w = float(0.5 + 0.5 * std::cos(std::numbers::pi * t / period));
            y[i] += w * sampleAt(centre + factor * t);
            weight[i] += w;
        }
        centre += period;
    }
    for (std::size_t i = 0; i < y.size(); ++i)
        if (weight[i] > 1e-3f)
            y[i] /= weight[i];
    return y;
}

// Scales every frequency by `factor` and keeps the length (SoundTouch).
std::vector<float> shiftPitch(const std::vector<float>& x, int rate, double factor)
{
    soundtouch::SoundTouch st;
    st.setSampleRate(uint(rate));
    st.setChannels(1);
    st.setPitch(factor);
    st.setTempo(1.0);

    std::vector<float> y;
    y.reserve(x.size());
    constexpr std::size_t kChunk = 8192;
    std::vector<soundtouch::SAMPLETYPE> in(kChunk), out(kChunk);
    auto drain = [&] {
        while (y.size() < x.size()) {
            uint got = st.receiveSamples(out.data(), uint(kChunk));
            if (got == 0)
                break;
            std::size_t take = std::min<std::size_t>(got, x.size() - y.size());
            y.insert(y.end(), out.begin(), out.begin() + long(take));
        }
    };
    for (std::size_t pos = 0; pos < x.size(); pos += kChunk) {
        std::size_t n = std::min(kChunk, x.size() - pos);
        for (std::size_t i = 0; i < n; ++i)
            in[i] = soundtouch::SAMPLETYPE(x[pos + i] / 32768.0f);
        st.putSamples(in.data(), uint(n));
        drain();
    }
    st.flush();
    drain();
    for (float& v : y)
        v *= 32768.0f;
    y.resize(x.size(), 0.0f); // what the stretcher held back at the very end
    return y;
}

// Ring modulation by a 60 Hz tone, then a resonant comb at 100 Hz: the voice
// loses its own melody under a steady metallic buzz.
void robotise(std::vector<float>& x, int rate, double mix)
{
    const double carrierStep = 2 * std::numbers::pi * 60.0 / rate;
    const std::size_t delay = std::max<std::size_t>(1, std::size_t(std::lround(rate / 100.0)));
    constexpr float kFeedback = 0.6f;
    constexpr float kCombGain = 0.55f; // brings the comb's resonances back near the voice's level
    std::vector<float> comb(delay, 0.0f); // the last `delay` comb outputs, as a ring
    for (std::size_t i = 0; i < x.size(); ++i) {
        float ring = x[i] * float(std::sin(carrierStep * double(i)) * std::numbers::sqrt2);
        float& slot = comb[i % delay];
        float wet = ring + kFeedback * slot;
        slot = wet;
        x[i] = float((1.0 - mix) * x[i] + mix * kCombGain * wet);
    }
}

// Decaying copies `delay` samples apart, the first at `level`.
void addEcho(std::vector<float>& x, std::size_t delay, double level)
{
    for (std::size_t i = delay; i < x.size(); ++i)
        x[i] += float(level) * x[i - delay];
}

// Keeps loud peaks inside 16 bits without hard clipping.
int16_t toSample(double v)
{
    double a = std::abs(v);
    if (a > kLimitKnee) {
        const double room = kLimitCeiling - kLimitKnee;
        a = kLimitKnee + room * std::tanh((a - kLimitKnee) / room);
        v = v < 0 ? -a : a;
    }
    return int16_t(std::lround(std::clamp(v, -32768.0, 32767.0)));
}

} // namespace

double voicePitchFactor(int32_t pitchScale)
{
    return std::pow(2.0, (clampSetting(pitchScale) - 50) / 50.0);
}

double voiceFormantFactor(int32_t headSize)
{
    return std::pow(2.0, (50 - clampSetting(headSize)) / 100.0);
}

double voiceRobotMix(int32_t robot) { return clampSetting(robot) / 100.0; }

int voiceEchoDelayMs(int32_t echo) { return 60 + 3 * clampSetting(echo); }

double voiceEchoLevel(int32_t echo)
{
    int32_t v = clampSetting(echo);
    return v == 0 ? 0.0 : 0.2 + 0.4 * v / 100.0;
}

bool applyVoiceFilter(PcmAudio& audio, int64_t startMs, int64_t endMs, const VoiceEditRecord& record)
{
    const bool pitch = record.has(kVoiceEffectPitch) && clampSetting(record.pitchScale) != 50;
    const bool head = record.has(kVoiceEffectHeadSize) && clampSetting(record.headSize) != 50;
    const bool robot = record.has(kVoiceEffectRobot) && clampSetting(record.robot) != 0;
    const bool echo = record.has(kVoiceEffectEcho) && clampSetting(record.echo) != 0;
    if (!(pitch || head || robot || echo))
        return false;
    if (audio.channels <= 0 || audio.sampleRate <= 0 || audio.frameCount() == 0)
        return false;

    const int rate = audio.sampleRate;
    const std::size_t channels = std::size_t(audio.channels);
    const std::size_t frames = audio.frameCount();
    const std::size_t start = audio.frameAt(startMs);
    const std::size_t end = audio.frameAt(endMs);
    if (end <= start)
        return false;
    const std::size_t length = end - start;

    // The pitch filters read some sound on either side of the range so that
    // their start-up and run-out fall outside it.
    const std::size_t context = (pitch || head) ? std::size_t(rate * kContextMs / 1000) : 0;
    const std::size_t from = start - std::min(start, context);
    const std::size_t to = std::min(frames, end + context);
    const std::size_t fade = std::min<std::size_t>(std::size_t(rate * kFadeMs / 1000), length / 2);

    std::vector<float> work(to - from);
    for (std::size_t c = 0; c < channels; ++c) {
        for (std::size_t f = from; f < to; ++f)
            work[f - from] = audio.samples[f * channels + c];
        if (head)
            work = shiftFormants(work, rate, voiceFormantFactor(record.headSize));
        if (pitch)
            work = shiftPitch(work, rate, voicePitchFactor(record.pitchScale));

        std::vector<float> region(work.begin() + long(start - from),
                                  work.begin() + long(end - from));
        if (robot)
            robotise(region, rate, voiceRobotMix(record.robot));
        if (echo)
            addEcho(region, std::size_t(int64_t(voiceEchoDelayMs(record.echo)) * rate / 1000),
                    voiceEchoLevel(record.echo));

        for (std::size_t i = 0; i < length; ++i) {
            int16_t& out = audio.samples[(start + i) * channels + c];
            double filtered = region[i];
            double w = 1.0;
            if (i < fade)
                w = (double(i) + 0.5) / double(fade);
            else if (length - i <= fade)
                w = (double(length - i) - 0.5) / double(fade);
            out = toSample(w * filtered + (1.0 - w) * out);
        }
        work.resize(to - from);
    }
    return true;
}

} // namespace pavonia
