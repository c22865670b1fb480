#pragma once
// For tests that look at why a call failed.
#include "platform/Result.h"

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

} // namespace pavonia::test
