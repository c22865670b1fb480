#pragma once
// What went wrong while reading, decoding or writing sound: a string-table
// text (see str::Voice* in StringTable.h) with the file concerned and a short
// technical detail. Voice functions return false and fill one of these.
#include "platform/StringTable.h"

#include <string>
#include <utility>

namespace pavonia {

struct VoiceError {
    int textId = 0;       // a string-table number; 0 when nothing went wrong
    std::string file;     // the file concerned (first "%s" of the text)
    std::string detail;   // what exactly (second "%s"), e.g. "data chunk runs past the end"

    std::string message() const { return StringTable::format(textId, {file, detail}); }
    explicit operator bool() const { return textId != 0; }
};

// Fills `error` (when given) and returns false, so readers can end with
// `return fail(error, ...)`.
inline bool fail(VoiceError* error, int textId, std::string file, std::string detail = {})
{
    if (error)
        *error = VoiceError{textId, std::move(file), std::move(detail)};
    return false;
}

} // namespace pavonia
