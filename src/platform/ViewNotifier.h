#pragma once
// How a logic class without widgets tells its view that what the view shows
// has changed, so that the view never polls.
//
// The logic derives from ViewNotifier<Logic>, gives a `visibleState()`: one
// value holding everything its view shows (a tuple or a struct with ==), and
// opens a ViewChange at the top of every call that may change it. When the
// outermost such call returns, the view's callback runs once if the visible
// state differs from the one the call started with, and not at all when
// nothing the view shows changed.
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

namespace pavonia {

template <typename Logic>
class ViewNotifier {
public:
    // The view's callback; one at a time (an empty one removes it).
    void setViewChanged(std::function<void()> callback) { viewChanged_ = std::move(callback); }

protected:
    ViewNotifier() = default;
    ~ViewNotifier() = default;
    // The callback belongs to the view of this object, not to a copy.
    ViewNotifier(const ViewNotifier&) {}
    ViewNotifier& operator=(const ViewNotifier&) { return *this; }

    class ViewChange {
    public:
        explicit ViewChange(ViewNotifier& notifier) : notifier_(notifier)
        {
            if (notifier_.depth_++ == 0 && notifier_.viewChanged_)
                before_.emplace(logic().visibleState());
        }
        ~ViewChange()
        {
            if (--notifier_.depth_ == 0 && before_ && notifier_.viewChanged_ && !(logic().visibleState() == *before_))
                notifier_.viewChanged_();
        }
        ViewChange(const ViewChange&) = delete;
        ViewChange& operator=(const ViewChange&) = delete;

    private:
        const Logic& logic() const { return static_cast<const Logic&>(notifier_); }

        ViewNotifier& notifier_;
        std::optional<std::decay_t<decltype(std::declval<const Logic&>().visibleState())>> before_;
    };

private:
    std::function<void()> viewChanged_;
    int depth_ = 0;
};

} // namespace pavonia
