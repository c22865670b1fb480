#pragma once
// The one way a fallible call reports failure: a Result that holds either its
// value or a Failure. A Failure carries what the user is to be told (the
// string-table number of the message and its arguments) and the system error
// taken at the moment the call failed, so no later call can overwrite it. The
// message is shown only where a command ends (see showFailure in Ui.h).
#include <cerrno>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace pavonia {

struct Failure {
    int message = 0;                    // string-table number
    std::vector<std::string> arguments; // fill the message's places in turn
    int systemError = 0;                // errno when it failed; 0 when the system had no part
    int caption = 0;                    // string-table number of the box's caption; 0: the program's title

    Failure() = default;
    Failure(int messageId, std::vector<std::string> args = {}, int error = 0)
        : message(messageId), arguments(std::move(args)), systemError(error)
    {
    }
    // A failure of a system call that has just returned: errno is taken now.
    static Failure system(int messageId, std::vector<std::string> args = {})
    {
        return Failure(messageId, std::move(args), errno);
    }

    // The same failure shown under its own caption.
    Failure withCaption(int captionId) &&
    {
        caption = captionId;
        return std::move(*this);
    }

    // The message as the user reads it: the arguments, then the system's
    // description of the error when there is one, fill its places in turn.
    std::string text() const;
};

template <typename T = void>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }

    const Failure& failure() const { return std::get<1>(state_); }

private:
    std::variant<T, Failure> state_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)) {}

    bool ok() const { return !failure_; }
    explicit operator bool() const { return ok(); }
    const Failure& failure() const { return *failure_; }

private:
    std::optional<Failure> failure_;
};

} // namespace pavonia
