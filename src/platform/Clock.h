#pragma once
// Time and pseudo-random numbers, injected so tests can fix them.
#include <cstdint>
#include <ctime>

namespace pavonia {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed start (the system tick count).
    virtual std::uint32_t tickCount() const = 0;
    // The local calendar time now.
    virtual std::tm localNow() const = 0;
};

class SystemClock final : public Clock {
public:
    std::uint32_t tickCount() const override;
    std::tm localNow() const override;
};

// The C runtime's rand(): a linear congruential generator giving 0..32767.
// Working-copy names depend on its exact sequence.
class CRandom {
public:
    explicit CRandom(std::uint32_t seed = 1) : state_(seed) {}
    void seed(std::uint32_t seed) { state_ = seed; }
    int next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7fff);
    }

private:
    std::uint32_t state_;
};

} // namespace pavonia
