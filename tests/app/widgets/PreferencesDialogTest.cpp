// The Preferences dialog shows the preference file and the recording inputs,
// and OK writes what its logic says.
#include "OffscreenApplication.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"

#include "app/widgets/PreferencesDialog.h"
#include "platform/IniFile.h"
#include "voice/RecordingDeviceSetup.h"
#include "voice/widgets/RecordSettingsGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

#include <gtest/gtest.h>

PAVONIA_OFFSCREEN_APPLICATION;

namespace pavonia {
namespace {

// A sound card with two inputs, the second selected, and a 0 to 65535 volume.
struct TwoInputs final : InputDevicePlatform {
    std::optional<std::vector<DeviceFormat>> queryCapabilities() override { return {{{22050, 1, 16}}}; }
    bool openWaveIn(const WaveInFormat&) override { return true; }
    void closeWaveIn() override {}
    bool openMixer() override { return true; }
    void closeMixer() override {}
    LineQuery findWaveInLine(int& controls) override { return controls = 1, LineQuery::Found; }
    std::optional<std::vector<MixerControl>> waveInControls() override
    {
        return {{MixerControl{MixerControl::Type::Selector, 1, 2}}};
    }
    std::optional<std::vector<std::string>> selectorNames(const MixerControl&) override
    {
        return {{"Microphone", "Line In"}};
    }
    std::optional<std::vector<bool>> selectorValues(const MixerControl&) override { return selected; }
    bool setSelectorValues(const MixerControl&, const std::vector<bool>& values) override
    {
        selected = values;
        return true;
    }
    std::optional<VolumeControl> sourceVolume(int) override { return VolumeControl{2, 1, 1, 0, 65535, 65536}; }
    std::optional<std::vector<std::uint32_t>> volumeValues(const VolumeControl&) override { return volume; }
    bool setVolumeValues(const VolumeControl&, const std::vector<std::uint32_t>& values) override
    {
        volume = values;
        return true;
    }
    std::vector<bool> selected{false, true};
    std::vector<std::uint32_t> volume{65535};
};

TEST(PreferencesDialog, ShowsThePreferencesAndTheInputsAndOkWritesThem)
{
    test::TestInstallation inst{false};
    inst.writeFile("install/Template/Pavonia.ini",
                   "[Global]\nTransitionCount=2\n[Transition]\nTrans0=None\nTrans1=Box In\nTrans2=Box Out\n");
    inst.writeFile("install/PVPreference.ini",
                   "[PVPreference]\nDelay=2.50\nTransition=2\nInitDlg=0\nShowExportDlg=1\nShowImportDlg=1\n");
    Preferences preferences(inst.folder());
    TransitionList transitions(inst.folder());
    test::ScriptedUi ui;
    TwoInputs inputs;
    RecordingDeviceSetup recording(inputs, ui);
    PreferencesLogic logic(preferences, transitions, ui);
    logic.setRecordingDeviceSetup(&recording);
    logic.open();
    PreferencesDialog dialog(logic);
    test::grab(dialog, "preferences");

    auto* input = dialog.findChild<QComboBox*>("inputDevice");
    auto* volume = dialog.findChild<QSlider*>("volume");
    ASSERT_TRUE(input && volume);
    EXPECT_EQ(input->count(), 2);
    EXPECT_EQ(input->currentText(), "Line In");
    EXPECT_EQ(volume->maximum(), 32767);
    EXPECT_EQ(volume->value(), 32767);
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("showAtStartup")->isChecked());
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("showWhenExporting")->isChecked());
    EXPECT_EQ(dialog.findChild<QComboBox*>("transition")->currentText(), "Box Out");
    auto* delay = dialog.findChild<QLineEdit*>("delay");
    EXPECT_EQ(delay->text(), "2.5");

    // The user's moves go to the device.
    input->activated(0);
    EXPECT_EQ(inputs.selected, (std::vector<bool>{true, false}));
    volume->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(inputs.volume, std::vector<std::uint32_t>{0});
    EXPECT_EQ(volume->value(), 0);

    // 301 is refused and the previous value comes back.
    delay->setText("301");
    delay->textEdited("301");
    EXPECT_EQ(delay->text(), "2.5");
    delay->setText("7");
    delay->textEdited("7");
    dialog.findChild<QCheckBox*>("showAtStartup")->click();
    dialog.findChild<QComboBox*>("transition")->setCurrentIndex(0);
    dialog.accept();
    logic.close();

    const IniFile written(inst.folder() + "PVPreference.ini");
    EXPECT_EQ(written.readText("PVPreference", "Delay", "_Error_"), "7.00");
    EXPECT_EQ(written.readInt("PVPreference", "InitDlg", -1), 1);
    EXPECT_EQ(written.readInt("PVPreference", "Transition", -1), 0);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"The maximum delay time setting is 300 seconds."});
}

} // namespace
} // namespace pavonia
