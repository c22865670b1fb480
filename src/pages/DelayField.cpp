#include "pages/DelayField.h"

#include "platform/StringTable.h"
#include "platform/Text.h"
#include "project/Records.h"

#include <algorithm>
#include <charconv>

namespace pavonia {

namespace {

bool hasOnlyDigitsAndOnePoint(const std::string& text)
{
    if (std::count(text.begin(), text.end(), '.') > 1)
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

bool hasDigit(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string DelayField::format(double seconds)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::general, 6);
    if (ec != std::errc())
        return "0";
    return std::string(buffer, end);
}

void DelayField::show(double seconds)
{
    value_ = seconds;
    text_ = format(seconds);
}

DelayField::Edit DelayField::edit(const std::string& text, Ui& ui)
{
    if (!hasOnlyDigitsAndOnePoint(text) || (!text.empty() && !hasDigit(text))) {
        show(value_);
        return Edit::Restored;
    }
    if (text.empty()) {
        text_.clear();
        return Edit::Emptied;
    }
    const double seconds = parseLeadingDouble(text);
    if (seconds > SlideData::kMaximumDelay) {
        showMessage(ui, StringTable::text(str::MaximumDelay));
        show(value_);
        return Edit::TooLarge;
    }
    value_ = seconds;
    text_ = text;
    return Edit::Taken;
}

void DelayField::leave(double emptyValue)
{
    show(text_.empty() ? emptyValue : parseLeadingDouble(text_));
}

} // namespace pavonia
