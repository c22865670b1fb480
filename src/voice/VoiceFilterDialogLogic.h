#pragma once
// The voice filter dialog (215) and its "Add Voice Template" dialog (170),
// without widgets: the template list and its selection, the check boxes,
// sliders and number texts, which buttons are enabled, and what "ADD",
// "DEL", "Test", "OK" and "Cancel" do with the template file and the voice
// engine the slide voice page lends.
//
// While the dialog is open the page keeps it as its current voice filter
// dialog and hands it the engine's play-stopped notification
// (previewStopped), which puts back the voice a preview filtered. Both tell
// their views of changes through setViewChanged (see ViewNotifier).
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/ViewNotifier.h"
#include "voice/PcmAudio.h"
#include "voice/VoiceEditRecord.h"
#include "voice/VoiceFilterEngine.h"
#include "voice/VoiceTemplateList.h"

namespace pavonia {

class Ui;

// Dialog 170: the name to save the current settings as.
class AddVoiceTemplateLogic : public ViewNotifier<AddVoiceTemplateLogic> {
public:
    static constexpr std::size_t kFieldLength = 256;

    AddVoiceTemplateLogic(std::string name, const VoiceTemplateList& templates, Ui& ui);

    const std::string& name() const { return name_; }
    // The field keeps at most 256 characters.
    void setName(const std::string& text);

    // "OK". False keeps the dialog open: silently for a name holding a
    // control character or one of !#@*?./\, with a message for a name a
    // saved template has already. True closes it; result() is then the name,
    // trimmed and fitted to a template's 31 bytes (possibly empty).
    bool ok();
    const std::string& result() const { return result_; }

    // Everything the view shows, as one value.
    const std::string& visibleState() const { return name_; }

private:
    std::string name_;
    std::string result_;
    const VoiceTemplateList& templates_;
    Ui& ui_;
};

class VoiceFilterDialogLogic : public ViewNotifier<VoiceFilterDialogLogic> {
public:
    // The four filters in the order of their check boxes and sliders.
    enum Filter { Pitch = 0, HeadSize = 1, Robot = 2, Echo = 3 };
    static constexpr int kFilters = 4;
    static constexpr int64_t kPreviewFilterMs = 11000;

    // Runs dialog 170 modally over the logic it is given; true when it was
    // closed with "OK".
    using AddDialogRunner = std::function<bool(AddVoiceTemplateLogic&)>;

    VoiceFilterDialogLogic(const std::string& installFolder, VoiceFilterEngine& engine, Ui& ui);

    // Reads the template file, fills the list and selects "none".
    void open();

    // ---- What the widget shows -------------------------------------------
    // "none" followed by the templates' names; the list position of
    // template i is i + 1.
    std::vector<std::string> listEntries() const;
    int selection() const { return selection_; }
    bool checked(Filter f) const { return (effects_ & bit(f)) != 0; }
    int sliderValue(Filter f) const { return values_[f]; }
    std::string numberText(Filter f) const { return std::to_string(values_[f]); }
    bool addEnabled() const { return !testing_ && addEnabled_; }
    bool delEnabled() const { return !testing_ && delEnabled_; }
    // The list, the check boxes, the sliders, "OK" and "Cancel".
    bool controlsEnabled() const { return !testing_; }
    std::string testButtonText() const;
    bool testing() const { return testing_; }
    const VoiceTemplateList& templates() const { return templates_; }

    // ---- What the user does ------------------------------------------------
    void select(int listPosition);
    void setChecked(Filter f, bool on);
    void setSlider(Filter f, int value);
    void add(const AddDialogRunner& runDialog);
    void remove(); // "DEL"
    void test();
    // The engine's play-stopped notification: ends a preview.
    void previewStopped();
    // "OK": filters the whole message. The page then saves and reloads it.
    void accept();
    // "Cancel" (and closing the window).
    void reject();
    // Closed by accept() or reject(); accepted() tells which.
    bool closed() const { return closed_; }
    bool accepted() const { return accepted_; }

    // Everything the view shows, as one value.
    auto visibleState() const
    {
        return std::tuple(listEntries(), selection_, effects_, values_, addEnabled_, delEnabled_, testing_, closed_);
    }

private:
    static uint32_t bit(Filter f) { return 1u << f; }
    int templateIndex() const { return selection_ - 1; } // -1 for "none"
    bool customSelected() const;
    void showSelection();
    void changed();
    void storeValues();
    VoiceTemplate currentValues() const;
    void message(int id);
    bool writeTemplates();
    void stopPlayback();
    void putBackPreviewVoice();

    VoiceTemplateList templates_;
    VoiceFilterEngine& engine_;
    Ui& ui_;
    std::string installFolder_;

    int selection_ = 0;
    uint32_t effects_ = 0;
    std::array<int, kFilters> values_{50, 50, 0, 0};
    bool addEnabled_ = true;
    bool delEnabled_ = false;
    bool testing_ = false;
    std::optional<PcmAudio> previewVoice_; // the voice before the preview filtered it
    bool closed_ = false;
    bool accepted_ = false;
};

} // namespace pavonia
