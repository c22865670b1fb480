#include "app/PreferencesLogic.h"

#include "platform/StringTable.h"
#include "platform/Text.h"
#include "voice/RecordingDeviceSetup.h"


namespace pavonia {

PreferencesLogic::PreferencesLogic(Preferences& preferences, const TransitionList& transitions, Ui& ui)
    : preferences_(preferences), transitionList_(transitions), ui_(ui)
{
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

    delay_.show(preferences_.delay());
}

void PreferencesLogic::editDelay(const std::string& text)
{
    ViewChange change(*this);
    delay_.edit(text, ui_);
}

void PreferencesLogic::leaveDelay()
{
    ViewChange change(*this);
    delay_.leave(preferences_.delay());
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
    preferences_.setDelay(delay_.value());
}

} // namespace pavonia
