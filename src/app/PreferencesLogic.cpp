#include "app/PreferencesLogic.h"

#include "platform/StringTable.h"
#include "platform/Text.h"
#include "voice/RecordingDeviceSetup.h"

#include <algorithm>
#include <charconv>

namespace pavonia {

namespace {

// Digits and at most one "." are all the delay field takes.
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

PreferencesLogic::PreferencesLogic(Preferences& preferences, const TransitionList& transitions, Ui& ui)
    : preferences_(preferences), transitionList_(transitions), ui_(ui)
{
}

std::string PreferencesLogic::formatDelay(double seconds)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::general, 6);
    if (ec != std::errc())
        return "0";
    return std::string(buffer, end);
}

void PreferencesLogic::showDelay(double seconds)
{
    delay_ = seconds;
    delayText_ = formatDelay(seconds);
}

void PreferencesLogic::open()
{
    ViewChange change(*this);
    if (recording_)
        recording_->open();
    showAtStartup_ = preferences_.initDlg() != 0;
    showWhenExporting_ = preferences_.showExportDlg() != 0;
    showWhenImporting_ = preferences_.showImportDlg() != 0;

    auto entries = transitionList_.read();
    if (!entries) {
        showMessage(ui_, transitionList_.lostMessage());
        return;
    }
    transitions_ = std::move(*entries);
    const int stored = preferences_.transition();
    const int count = static_cast<int>(transitions_.size());
    selectedTransition_ = count == 0 ? -1 : (stored >= 0 && stored < count ? stored : 0);

    showDelay(preferences_.delay());
}

void PreferencesLogic::editDelay(const std::string& text)
{
    ViewChange change(*this);
    const double remembered = delay_;
    // "." on its own is no number yet; neither it nor any other character
    // than digits and one point is taken.
    if (!hasOnlyDigitsAndOnePoint(text) || (!text.empty() && !hasDigit(text))) {
        showDelay(remembered);
        return;
    }
    if (text.empty()) {
        delayText_.clear(); // the value stays until the field is left
        return;
    }
    const double value = parseLeadingDouble(text);
    if (value > kMaximumDelay) {
        showMessage(ui_, StringTable::text(str::MaximumDelay));
        showDelay(remembered);
        return;
    }
    delay_ = value;
    delayText_ = text;
}

void PreferencesLogic::leaveDelay()
{
    ViewChange change(*this);
    if (delayText_.empty())
        showDelay(preferences_.delay());
    else
        showDelay(parseLeadingDouble(delayText_));
}

void PreferencesLogic::selectTransition(int position)
{
    ViewChange change(*this);
    if (position >= 0 && position < static_cast<int>(transitions_.size()))
        selectedTransition_ = position;
}

void PreferencesLogic::close()
{
    if (recording_)
        recording_->close();
}

void PreferencesLogic::accept()
{
    // OK takes the focus from the delay field first, so an empty field counts
    // as the stored delay whether OK was clicked or Enter pressed.
    leaveDelay();
    preferences_.setInitDlg(showAtStartup_ ? 1 : 0);
    preferences_.setShowExportDlg(showWhenExporting_ ? 1 : 0);
    preferences_.setShowImportDlg(showWhenImporting_ ? 1 : 0);
    // Without a list (its catalogue was missing) there is no choice to keep,
    // and the stored transition stays as it is.
    if (selectedTransition_ >= 0)
        preferences_.setTransition(selectedTransition_);
    preferences_.setDelay(delay_);
}

} // namespace pavonia
