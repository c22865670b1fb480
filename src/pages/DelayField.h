#pragma once
// The delay field of the media page and of the Preferences dialog: a number
// of seconds from 0 to 300, checked on every edit. Only digits and at most
// one "." are taken; a number above 300 is refused with "The maximum delay
// time setting is 300 seconds."; anything else (a sign, a letter, a "." on
// its own) brings the previous value back. An emptied field keeps its value
// until the focus leaves it.
#include "platform/Ui.h"

#include <string>

namespace pavonia {

class DelayField {
public:
    enum class Edit {
        Taken,    // the text is the new value
        Emptied,  // nothing typed: the value waits for leave()
        Restored, // not a number: the previous value is shown again
        TooLarge, // above 300: refused after the message
    };

    // Shows `seconds` as the field's value.
    void show(double seconds);
    // The checks of one edit; the field then shows text().
    Edit edit(const std::string& text, Ui& ui);
    // The focus left the field: an empty field shows `emptyValue`, any other
    // shows its value in the field's own format.
    void leave(double emptyValue);

    double value() const { return value_; }
    const std::string& text() const { return text_; }

    // A delay as the field shows numbers: up to six significant digits, no
    // trailing zeros ("2.5", "3").
    static std::string format(double seconds);

private:
    double value_ = 0;
    std::string text_;
};

} // namespace pavonia
