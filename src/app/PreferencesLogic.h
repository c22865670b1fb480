#pragma once
// The Preferences dialog without its widgets: the start-up, export and import
// switches, the default transition of new slides and their default delay.
// The widget shows the fields below and forwards the user's actions; OK calls
// accept(), Cancel simply closes (nothing is written). The view learns of
// changes through setViewChanged (see ViewNotifier).
#include "pages/DelayField.h"
#include "platform/Ui.h"
#include "platform/ViewNotifier.h"
#include "project/Preferences.h"
#include "project/Records.h"
#include "templates/TransitionList.h"

#include <string>
#include <tuple>
#include <vector>

namespace pavonia {

class RecordingDeviceSetup;

class PreferencesLogic : public ViewNotifier<PreferencesLogic> {
public:
    static constexpr double kMaximumDelay = SlideData::kMaximumDelay;

    PreferencesLogic(Preferences& preferences, const TransitionList& transitions, Ui& ui);

    // Fills the fields from the preference file. When the transition
    // catalogue is missing it says so and stops: the transition list and the
    // delay stay unfilled.
    void open();
    // The checks made on every edit of the delay field; `text` is the field's
    // new text. The field then shows delayText().
    void editDelay(const std::string& text);
    // The delay field lost the focus.
    void leaveDelay();
    // Writes the preference keys, as OK does.
    void accept();
    // The dialog closes (after OK or Cancel): the recording device is released.
    void close();

    // The "Record Settings" group, when the program has one: it is set up
    // first thing in open(), whatever happens to the other fields, and its
    // failures leave the rest of the dialog working.
    void setRecordingDeviceSetup(RecordingDeviceSetup* setup) { recording_ = setup; }
    RecordingDeviceSetup* recordingDeviceSetup() const { return recording_; }

    bool showAtStartup() const { return showAtStartup_; }
    void setShowAtStartup(bool on) { setSwitch(showAtStartup_, on); }
    bool showWhenExporting() const { return showWhenExporting_; }
    void setShowWhenExporting(bool on) { setSwitch(showWhenExporting_, on); }
    bool showWhenImporting() const { return showWhenImporting_; }
    void setShowWhenImporting(bool on) { setSwitch(showWhenImporting_, on); }

    const std::vector<TransitionEntry>& transitions() const { return transitions_; }
    // The selected list position; -1 when the list is empty.
    int selectedTransition() const { return selectedTransition_; }
    void selectTransition(int position);

    const std::string& delayText() const { return delay_.text(); }

    // Everything the view shows, as one value.
    auto visibleState() const
    {
        return std::tuple(showAtStartup_, showWhenExporting_, showWhenImporting_, transitions_, selectedTransition_,
                          delay_.text());
    }

private:
    void setSwitch(bool& field, bool on)
    {
        ViewChange change(*this);
        field = on;
    }

    Preferences& preferences_;
    const TransitionList& transitionList_;
    Ui& ui_;
    RecordingDeviceSetup* recording_ = nullptr;

    bool showAtStartup_ = false;
    bool showWhenExporting_ = false;
    bool showWhenImporting_ = false;
    std::vector<TransitionEntry> transitions_;
    int selectedTransition_ = -1;
    DelayField delay_;
};

} // namespace pavonia
