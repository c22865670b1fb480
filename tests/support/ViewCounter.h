#pragma once
// A view that only counts the notifications of the logic it shows.
#include <utility>

namespace pavonia::test {

class ViewCounter {
public:
    template <typename Logic>
    explicit ViewCounter(Logic& logic)
    {
        logic.setViewChanged([this] { ++count_; });
    }
    // The notifications since the last call.
    int take() { return std::exchange(count_, 0); }

private:
    int count_ = 0;
};

} // namespace pavonia::test
