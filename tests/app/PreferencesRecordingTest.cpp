#include "app/PreferencesLogic.h"

#include "ScriptedUi.h"
#include "TestInstallation.h"
#include "platform/StringTable.h"
#include "voice/RecordingDeviceSetup.h"

#include <gtest/gtest.h>

namespace pavonia {
namespace {

// A machine whose recording device cannot be asked for its formats.
struct NoRecordingDevice final : InputDevicePlatform {
    std::optional<std::vector<DeviceFormat>> queryCapabilities() override { return std::nullopt; }
    bool openWaveIn(const WaveInFormat&) override { return false; }
    void closeWaveIn() override {}
    bool openMixer() override { return false; }
    void closeMixer() override {}
    LineQuery findWaveInLine(int&) override { return LineQuery::Failed; }
    std::optional<std::vector<MixerControl>> waveInControls() override { return std::nullopt; }
    std::optional<std::vector<std::string>> selectorNames(const MixerControl&) override { return std::nullopt; }
    std::optional<std::vector<bool>> selectorValues(const MixerControl&) override { return std::nullopt; }
    bool setSelectorValues(const MixerControl&, const std::vector<bool>&) override { return false; }
    std::optional<VolumeControl> sourceVolume(int) override { return std::nullopt; }
    std::optional<std::vector<std::uint32_t>> volumeValues(const VolumeControl&) override { return std::nullopt; }
    bool setVolumeValues(const VolumeControl&, const std::vector<std::uint32_t>&) override { return false; }
};

TEST(PreferencesRecordingTest, AFailingRecordingGroupLeavesTheRestOfTheDialogWorking)
{
    test::TestInstallation inst{false};
    inst.writeFile("install/Template/Pavonia.ini",
                   "[Global]\nTransitionCount=2\n[Transition]\nTrans0=A\nTrans1=B\nTrans2=C\n");
    inst.writeFile("install/PVPreference.ini", "[PVPreference]\nDelay=4\nTransition=1\n");
    Preferences preferences(inst.folder());
    TransitionList transitions(inst.folder());
    test::ScriptedUi ui;
    NoRecordingDevice device;
    RecordingDeviceSetup recording(device, ui);
    PreferencesLogic logic(preferences, transitions, ui);
    logic.setRecordingDeviceSetup(&recording);

    logic.open();
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{StringTable::text(str::DeviceQueryFailed),
                                                    StringTable::text(str::MixerOpenFailed)}));
    EXPECT_FALSE(recording.inputListEnabled());
    EXPECT_FALSE(recording.sliderEnabled());
    EXPECT_EQ(logic.selectedTransition(), 1);
    EXPECT_EQ(logic.delayText(), "4");
    logic.close();
}

} // namespace
} // namespace pavonia
