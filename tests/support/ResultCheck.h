#pragma once
// For tests that look at why a call failed.
#include "platform/Result.h"

#include <optional>
#include <string>

namespace pavonia::test {

// True for a result that succeeded; false, with `failure` set to why, for
// one that failed.
inline bool succeeded(const Result<>& result, Failure& failure)
{
    if (result)
        return true;
    failure = result.failure();
    return false;
}

// The text of a failure kept for later, empty when there is none.
inline std::string failureText(const std::optional<Failure>& failure)
{
    return failure ? failure->text() : std::string();
}

} // namespace pavonia::test
