#pragma once
// The logic of the "Export" dialog: which kind of export, whether a CD
// export keeps its autorun information, the sound and image qualities, and
// whether the dialog is asked again. No widgets here; the view learns of
// changes through setViewChanged (see ViewNotifier).
//
// The kinds the dialog offers come from exportKinds(), in the order of their
// radio buttons; each says which of the other controls apply to it, so a new
// kind is one more entry there.
#include "export/ExportPresentation.h"
#include "platform/ViewNotifier.h"
#include "project/Preferences.h"

#include <string>
#include <tuple>
#include <vector>

namespace pavonia {

struct ExportKindEntry {
    ExportKind kind;
    int textId;         // the radio button's text
    bool usesAutoRun;   // "Include Autorun files" is enabled
    bool usesQualities; // the sound and image qualities are enabled
};

// Every kind of export, in the order the dialog lists them.
const std::vector<ExportKindEntry>& exportKinds();

class ExportDlgLogic : public ViewNotifier<ExportDlgLogic> {
public:
    static constexpr int kSoundChoices = 3; // "High", "Middle", "Low"
    static constexpr int kMiddleSound = 1;
    static constexpr int kImagePageStep = 10;

    // Opens with the stored kind chosen (the first kind for a value of no
    // kind), the stored autorun choice, "Middle" sound, the given image
    // quality and "Don't show next time" unticked.
    ExportDlgLogic(Preferences& preferences, const ExportChoice& stored);

    auto visibleState() const
    {
        return std::tuple(kindIndex_, includeAutoRun_, soundIndex_, imageQuality_, dontShowNextTime_);
    }

    // The position of the chosen kind in exportKinds().
    int kindIndex() const { return kindIndex_; }
    ExportKind kind() const { return exportKinds()[std::size_t(kindIndex_)].kind; }
    void chooseKind(int index);
    bool autoRunEnabled() const { return exportKinds()[std::size_t(kindIndex_)].usesAutoRun; }
    bool qualitiesEnabled() const { return exportKinds()[std::size_t(kindIndex_)].usesQualities; }

    bool includeAutoRun() const { return includeAutoRun_; }
    void setIncludeAutoRun(bool on);
    // 0 "High", 1 "Middle", 2 "Low"; the export's sound quality is one more.
    int soundIndex() const { return soundIndex_; }
    void setSoundIndex(int index);
    // 0..100; values outside are clamped.
    int imageQuality() const { return imageQuality_; }
    void setImageQuality(int quality);
    // The text beside the slider: "80 %".
    std::string imageQualityText() const;
    bool dontShowNextTime() const { return dontShowNextTime_; }
    void setDontShowNextTime(bool on);

    // OK: writes "ShowExportDlg" (0 when not to be shown again, else 1),
    // "ExportType" and "IncludeAutoRun", and returns the choice. A
    // preference that cannot be written leaves the choice as it is for this
    // export.
    ExportChoice accept();

private:
    Preferences& preferences_;
    int kindIndex_ = 0;
    bool includeAutoRun_ = true;
    int soundIndex_ = kMiddleSound;
    int imageQuality_ = 80;
    bool dontShowNextTime_ = false;
};

} // namespace pavonia
