#include "voice/LipSyncAnalyzer.h"

#include "platform/IniFile.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <numbers>

namespace pavonia {

namespace {

// ---- Spectrum --------------------------------------------------------------

// An in-place radix-2 FFT with tables made once per size.
class Fft {
public:
    explicit Fft(std::size_t size) : size_(size), twiddles_(size / 2), reversed_(size)
    {
        for (std::size_t i = 0; i < size / 2; ++i)
            twiddles_[i] = std::polar(1.0f, float(-2.0 * std::numbers::pi * double(i) / double(size)));
        int bits = 0;
        while ((std::size_t(1) << bits) < size)
            ++bits;
        for (std::size_t i = 0; i < size; ++i) {
            std::size_t r = 0;
            for (int b = 0; b < bits; ++b)
                if (i & (std::size_t(1) << b))
                    r |= std::size_t(1) << (bits - 1 - b);
            reversed_[i] = r;
        }
    }

    void transform(std::vector<std::complex<float>>& data) const
    {
        for (std::size_t i = 0; i < size_; ++i)
            if (i < reversed_[i])
                std::swap(data[i], data[reversed_[i]]);
        for (std::size_t len = 2; len <= size_; len *= 2) {
            const std::size_t half = len / 2, step = size_ / len;
            for (std::size_t start = 0; start < size_; start += len)
                for (std::size_t k = 0; k < half; ++k) {
                    const std::complex<float> t = twiddles_[k * step] * data[start + k + half];
                    data[start + k + half] = data[start + k] - t;
                    data[start + k] += t;
                }
        }
    }

private:
    std::size_t size_;
    std::vector<std::complex<float>> twiddles_;
    std::vector<std::size_t> reversed_;
};

// What is measured of one 40 ms frame.
struct Measure {
    double db = -120.0;     // RMS level, dB full scale
    double zcr = 0.0;       // zero crossings per sample
    double lowShare = 0.0;  // energy share below 300 Hz
    double highShare = 0.0; // energy share above 3 kHz
    double f1 = 0.0;        // power centroid of 200-1000 Hz: a rough first formant
    double f2 = 0.0;        // power centroid of 900-3000 Hz: a rough second formant
    double midRatio = 0.0;  // energy of 1-3 kHz over that of 200-1000 Hz: low for rounded vowels
};

class FrameMeter {
public:
    FrameMeter(int sampleRate, std::size_t frameSamples) : rate_(sampleRate)
    {
        size_ = 1;
        while (size_ < frameSamples)
            size_ *= 2;
        fft_ = std::make_unique<Fft>(size_);
        window_.resize(frameSamples);
        for (std::size_t i = 0; i < frameSamples; ++i)
            window_[i] = float(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (double(i) + 0.5) /
                                                    double(frameSamples)));
        buffer_.resize(size_);
    }

    Measure measure(const float* x, std::size_t n)
    {
        Measure m;
        if (n == 0)
            return m;
        double sum = 0.0, mean = 0.0;
        for (std::size_t i = 0; i < n; ++i)
            mean += x[i];
        mean /= double(n);
        int crossings = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double v = x[i] - mean;
            sum += v * v;
            if (i > 0 && ((x[i - 1] - mean < 0) != (v < 0)))
                ++crossings;
        }
        const double rms = std::sqrt(sum / double(n));
        m.db = rms > 1e-6 ? 20.0 * std::log10(rms) : -120.0;
        m.zcr = double(crossings) / double(n);

        const std::size_t used = std::min(n, window_.size());
        for (std::size_t i = 0; i < size_; ++i)
            buffer_[i] = i < used ? std::complex<float>(float(x[i] - mean) * window_[i], 0.0f)
                                  : std::complex<float>();
        fft_->transform(buffer_);

        const double binHz = double(rate_) / double(size_);
        double total = 0, low = 0, high = 0, mid = 0, p1 = 0, w1 = 0, p2 = 0, w2 = 0;
        for (std::size_t k = 1; k < size_ / 2; ++k) {
            const double hz = double(k) * binHz;
            if (hz < 80.0)
                continue; // hum and breath
            const double p = std::norm(buffer_[k]);
            total += p;
            if (hz < 300.0)
                low += p;
            if (hz >= 3000.0)
                high += p;
            if (hz >= 200.0 && hz < 1000.0) {
                p1 += p;
                w1 += p * hz;
            }
            if (hz >= 1000.0 && hz < 3000.0)
                mid += p;
            if (hz >= 900.0 && hz < 3000.0) {
                p2 += p;
                w2 += p * hz;
            }
        }
        if (total > 0) {
            m.lowShare = low / total;
            m.highShare = high / total;
        }
        m.f1 = p1 > 0 ? w1 / p1 : 0.0;
        m.f2 = p2 > 0 ? w2 / p2 : 0.0;
        m.midRatio = p1 > 0 ? mid / p1 : 0.0;
        return m;
    }

private:
    int rate_;
    std::size_t size_;
    std::unique_ptr<Fft> fft_;
    std::vector<float> window_;
    std::vector<std::complex<float>> buffer_;
};

// ---- Classes and mouth shapes ---------------------------------------------

struct Shape {
    double open, width, round, teeth;
};

Shape shapeOf(Viseme v)
{
    switch (v) {
    case Viseme::Rest: return {0, 50, 0, 0};
    case Viseme::OpenVowel: return {85, 55, 10, 30};
    case Viseme::MidVowel: return {60, 70, 5, 45};
    case Viseme::CloseFront: return {35, 85, 0, 60};
    case Viseme::Rounded: return {45, 20, 85, 10};
    case Viseme::Closure: return {0, 45, 10, 0};
    case Viseme::Fricative: return {18, 60, 10, 80};
    case Viseme::Consonant: return {30, 50, 10, 35};
    }
    return {0, 50, 0, 0};
}

Viseme classify(const Measure& m, double loudness, const LipSyncSettings& s)
{
    // Hiss: most energy high up, or a noisy signal with a good part there.
    if (m.highShare >= s.fricativeHighShare ||
        (m.zcr >= s.fricativeZcr && m.highShare >= s.fricativeHighShare * 0.6))
        return Viseme::Fricative;
    if (m.lowShare >= s.closureLowShare && loudness < 0.6)
        return Viseme::Closure; // a hum through the nose with the lips shut
    if (loudness < 0.2)
        return Viseme::Consonant; // weak voiced sound between vowels
    // Rounded lips lower both formants below 1 kHz: little energy above it.
    if (m.midRatio < s.roundedRatio)
        return Viseme::Rounded;
    if (m.f1 >= s.openF1Hz)
        return Viseme::OpenVowel;
    if (m.f1 < s.closeF1Hz && m.f2 >= s.frontF2Hz)
        return Viseme::CloseFront;
    return Viseme::MidVowel;
}

int16_t percent(double v)
{
    return int16_t(std::clamp(int(std::lround(v)), 0, 100));
}

// The quietest (or loudest) level within two seconds on either side of each
// frame (the analysis sees the whole voice at once): a sliding extreme with
// a monotonic queue, O(n).
template <typename Better>
std::vector<double> slidingExtreme(const std::vector<Measure>& measures, Better better)
{
    constexpr std::size_t kReach = 2000 / kLipSyncFrameMs;
    const std::size_t n = measures.size();
    std::vector<double> out(n);
    std::vector<std::size_t> queue;
    std::size_t head = 0, next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t last = std::min(n - 1, i + kReach);
        for (; next <= last; ++next) {
            while (queue.size() > head && !better(measures[queue.back()].db, measures[next].db))
                queue.pop_back();
            queue.push_back(next);
        }
        while (queue[head] + kReach < i)
            ++head;
        out[i] = measures[queue[head]].db;
    }
    return out;
}

} // namespace

LipSyncSettings LipSyncSettings::load(const std::string& installDir)
{
    LipSyncSettings s;
    const std::string path = installDir + "LIPSincData/lipsync.ini";
    if (!IniFile::exists(path))
        return s;
    const IniFile ini(path);
    const auto read = [&](const char* key, double& value, double low, double high) {
        const double v = ini.readNumber("LipSync", key, value);
        if (std::isfinite(v) && v >= low && v <= high)
            value = v;
    };
    read("SilenceDb", s.silenceDb, 0.0, 60.0);
    read("RangeDb", s.rangeDb, 1.0, 90.0);
    read("QuietestDb", s.quietestDb, -120.0, 0.0);
    read("LoudestFloorDb", s.loudestFloorDb, -120.0, 0.0);
    read("FricativeZcr", s.fricativeZcr, 0.0, 1.0);
    read("FricativeHighShare", s.fricativeHighShare, 0.0, 1.0);
    read("ClosureLowShare", s.closureLowShare, 0.0, 1.0);
    read("RoundedRatio", s.roundedRatio, 0.0, 10.0);
    read("OpenF1Hz", s.openF1Hz, 100.0, 2000.0);
    read("CloseF1Hz", s.closeF1Hz, 100.0, 2000.0);
    read("FrontF2Hz", s.frontF2Hz, 500.0, 5000.0);
    read("Smoothing", s.smoothing, 0.0, 0.95);
    return s;
}

std::vector<LipSyncFrame> analyseLipSync(const PcmAudio& audio)
{
    return analyseLipSync(audio, LipSyncSettings{});
}

std::vector<LipSyncFrame> analyseLipSync(const PcmAudio& audio, const LipSyncSettings& s)
{
    if (audio.empty() || audio.sampleRate <= 0 || audio.channels <= 0)
        return {};
    const std::size_t frames = audio.frameCount();
    const std::int64_t rate = audio.sampleRate;
    const std::size_t count =
        std::size_t((std::int64_t(frames) * 1000 + rate * kLipSyncFrameMs - 1) / (rate * kLipSyncFrameMs));
    const auto startOf = [&](std::size_t i) {
        return std::min(frames, std::size_t(std::int64_t(i) * rate * kLipSyncFrameMs / 1000));
    };

    // Mono, scaled to [-1, 1).
    std::vector<float> mono(frames);
    const int channels = audio.channels;
    for (std::size_t f = 0; f < frames; ++f) {
        int sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += audio.samples[f * std::size_t(channels) + std::size_t(c)];
        mono[f] = float(sum) / float(32768 * channels);
    }

    FrameMeter meter(audio.sampleRate, startOf(1) > 0 ? startOf(1) : 1);
    std::vector<Measure> measures(count);
    for (std::size_t i = 0; i < count; ++i)
        measures[i] = meter.measure(mono.data() + startOf(i), startOf(i + 1) - startOf(i));
    // The noise floor is kept between the settings' bounds, so a voice
    // without pauses still counts as speech.
    std::vector<double> floor = slidingExtreme(measures, std::less<double>());
    for (double& f : floor)
        f = std::clamp(f, s.quietestDb - 30.0, s.loudestFloorDb);
    const std::vector<double> peak = slidingExtreme(measures, std::greater<double>());

    std::vector<LipSyncFrame> out(count);
    Shape previous = shapeOf(Viseme::Rest);
    for (std::size_t i = 0; i < count; ++i) {
        const Measure& m = measures[i];
        const double above = m.db - floor[i];
        LipSyncFrame& frame = out[i];
        if (m.db < s.quietestDb || above < s.silenceDb) {
            previous = shapeOf(Viseme::Rest);
            frame = LipSyncFrame{};
            continue;
        }
        // Loudness against the loudest sound nearby, so a quiet speaker
        // opens the mouth as wide as a loud one.
        const double loudness = std::clamp(1.0 - (peak[i] - m.db) / s.rangeDb, 0.0, 1.0);
        const Viseme viseme = classify(m, loudness, s);
        Shape target = shapeOf(viseme);
        target.open *= 0.45 + 0.55 * loudness;
        const double k = s.smoothing;
        Shape shape{k * previous.open + (1 - k) * target.open, k * previous.width + (1 - k) * target.width,
                    k * previous.round + (1 - k) * target.round, k * previous.teeth + (1 - k) * target.teeth};
        if (viseme == Viseme::Closure)
            shape.open = 0; // lips pressed, whatever came before
        previous = shape;
        frame.open = percent(shape.open);
        if (viseme != Viseme::Closure && frame.open == 0)
            frame.open = 1; // sound comes out: the mouth is not shut
        frame.width = percent(shape.width);
        frame.round = percent(shape.round);
        frame.teeth = percent(shape.teeth);
        frame.energy = percent(100.0 * (0.2 + 0.8 * loudness));
        frame.viseme = int16_t(viseme);
    }
    return out;
}

} // namespace pavonia
