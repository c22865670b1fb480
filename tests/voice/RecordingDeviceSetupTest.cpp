#include "voice/RecordingDeviceSetup.h"

#include "ScriptedUi.h"
#include "ViewCounter.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <map>

namespace pavonia {
namespace {

// A recording device and mixer that answer from what the test sets, and
// remember what was written to them.
struct ScriptedInputs final : InputDevicePlatform {
    std::optional<std::vector<DeviceFormat>> queryCapabilities() override { return capabilities; }
    bool openWaveIn(const WaveInFormat& format) override
    {
        opened = format;
        waveInOpen = openSucceeds;
        return openSucceeds;
    }
    void closeWaveIn() override { waveInOpen = false; }
    bool openMixer() override { return mixerOpen = mixerOpens; }
    void closeMixer() override { mixerOpen = false; }
    LineQuery findWaveInLine(int& controlCount) override
    {
        controlCount = lineControlCount;
        return line;
    }
    std::optional<std::vector<MixerControl>> waveInControls() override { return controls; }
    std::optional<std::vector<std::string>> selectorNames(const MixerControl&) override { return names; }
    std::optional<std::vector<bool>> selectorValues(const MixerControl&) override { return selection; }
    bool setSelectorValues(const MixerControl&, const std::vector<bool>& values) override
    {
        selection = values;
        return true;
    }
    std::optional<VolumeControl> sourceVolume(int item) override
    {
        if (!volume)
            return std::nullopt;
        VolumeControl v = *volume;
        v.id = item;
        return v;
    }
    std::optional<std::vector<std::uint32_t>> volumeValues(const VolumeControl& control) override
    {
        if (!volumesReadable)
            return std::nullopt;
        return std::vector<std::uint32_t>(2, levels[control.id]);
    }
    bool setVolumeValues(const VolumeControl& control, const std::vector<std::uint32_t>& values) override
    {
        written[control.id] = values;
        return true;
    }

    std::optional<std::vector<DeviceFormat>> capabilities = std::vector<DeviceFormat>{{22050, 1, 16}};
    bool openSucceeds = true;
    bool mixerOpens = true;
    LineQuery line = LineQuery::Found;
    int lineControlCount = 2;
    std::optional<std::vector<MixerControl>> controls =
        std::vector<MixerControl>{{MixerControl::Type::Volume, 7, 1}, {MixerControl::Type::Selector, 8, 3}};
    std::optional<std::vector<std::string>> names = std::vector<std::string>{"Microphone", "Line In", "CD Player"};
    std::optional<std::vector<bool>> selection = std::vector<bool>{false, true, false};
    std::optional<VolumeControl> volume = VolumeControl{0, 2, 1, 0, 65535, 65536};
    bool volumesReadable = true;
    std::map<int, std::uint32_t> levels{{0, 0}, {1, 32768}, {2, 65535}};

    std::optional<WaveInFormat> opened;
    bool waveInOpen = false;
    bool mixerOpen = false;
    std::map<int, std::vector<std::uint32_t>> written;
};

TEST(RecordingDeviceSetupTest, ChoosesTheFirstSupportedFormatInOrder)
{
    using F = DeviceFormat;
    struct Case {
        std::vector<F> supported;
        std::optional<WaveInFormat> chosen;
    } cases[] = {
        {{{44100, 2, 16}}, WaveInFormat{44100, 2, 16, 176400, 4}},
        {{{44100, 2, 16}, {44100, 1, 16}, {22050, 1, 16}}, WaveInFormat{22050, 1, 16, 44100, 2}},
        {{{11025, 2, 16}, {44100, 1, 16}}, WaveInFormat{44100, 1, 16, 88200, 2}}, // mono before stereo
        {{{22050, 2, 16}, {11025, 2, 16}}, WaveInFormat{22050, 2, 16, 88200, 4}},
        {{{22050, 1, 8}, {44100, 2, 8}}, std::nullopt}, // 8-bit only
        {{{48000, 1, 16}, {8000, 1, 16}}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RecordingDeviceSetup::chooseFormat(c.supported), c.chosen);
}

TEST(RecordingDeviceSetupTest, SliderRangeIsTheStepCountLessOneUpTo32767)
{
    EXPECT_EQ(RecordingDeviceSetup::sliderMaximumFor(65536), 32767);
    EXPECT_EQ(RecordingDeviceSetup::sliderMaximumFor(101), 100);
    EXPECT_EQ(RecordingDeviceSetup::sliderMaximumFor(1), 0);
    EXPECT_EQ(RecordingDeviceSetup::sliderMaximumFor(0), 0);
}

TEST(RecordingDeviceSetupTest, EachFailureShowsItsMessageAndDisablesTheGroup)
{
    struct Case {
        const char* name;
        void (*script)(ScriptedInputs&);
        std::vector<int> messages;
        bool enabled;
    } cases[] = {
        {"no capabilities", [](ScriptedInputs& p) { p.capabilities.reset(); },
         {str::DeviceQueryFailed, str::MixerNoWaveInDevice}, false},
        {"8-bit only", [](ScriptedInputs& p) { p.capabilities = std::vector<DeviceFormat>{{22050, 1, 8}}; },
         {str::DeviceUnsupported, str::MixerNoWaveInDevice}, false},
        {"device busy", [](ScriptedInputs& p) { p.openSucceeds = false; },
         {str::DeviceOpenFailed, str::MixerNoWaveInDevice}, false},
        {"no mixer", [](ScriptedInputs& p) { p.mixerOpens = false; }, {str::MixerOpenFailed}, false},
        {"no wave-in line", [](ScriptedInputs& p) { p.line = LineQuery::NotFound; }, {str::MixerNoWaveIn}, false},
        {"line without controls", [](ScriptedInputs& p) { p.lineControlCount = 0; }, {str::MixerNoControl}, false},
        {"names unreadable", [](ScriptedInputs& p) { p.names.reset(); }, {str::MixerTextError}, false},
        {"values unreadable", [](ScriptedInputs& p) { p.selection.reset(); }, {str::MixerValueError}, false},
        // These end the setup quietly with the controls left enabled.
        {"line query failed", [](ScriptedInputs& p) { p.line = LineQuery::Failed; }, {}, true},
        {"controls unreadable", [](ScriptedInputs& p) { p.controls.reset(); }, {}, true},
        {"no controls", [](ScriptedInputs& p) { p.controls = std::vector<MixerControl>{}; }, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedInputs platform;
        c.script(platform);
        test::ScriptedUi ui;
        RecordingDeviceSetup setup(platform, ui);
        setup.open();
        std::vector<std::string> expected;
        for (int id : c.messages)
            expected.push_back(StringTable::text(id));
        EXPECT_EQ(ui.texts(), expected);
        EXPECT_EQ(setup.inputListEnabled(), c.enabled);
        EXPECT_EQ(setup.sliderEnabled(), c.enabled);
        if (!c.enabled) {
            EXPECT_FALSE(platform.mixerOpen);
            EXPECT_TRUE(setup.inputs().empty());
        }
    }
}

TEST(RecordingDeviceSetupTest, ListsInputsAndSetsTheChosenInputsVolume)
{
    ScriptedInputs platform;
    test::ScriptedUi ui;
    {
        RecordingDeviceSetup setup(platform, ui);
        test::ViewCounter view(setup);
        setup.open();
        EXPECT_EQ(view.take(), 1);
        EXPECT_TRUE(ui.shown.empty());
        EXPECT_EQ(platform.opened, (WaveInFormat{22050, 1, 16, 44100, 2}));
        EXPECT_EQ(setup.inputs(), (std::vector<std::string>{"Microphone", "Line In", "CD Player"}));
        EXPECT_EQ(setup.selectedInput(), 1);
        EXPECT_EQ(setup.sliderMaximum(), 32767);
        EXPECT_EQ(setup.sliderPosition(), 16383); // 32768 of 0..65535, rounded down

        setup.selectInput(2);
        EXPECT_EQ(platform.selection, (std::vector<bool>{false, false, true}));
        EXPECT_EQ(setup.sliderPosition(), 32767);
        EXPECT_EQ(view.take(), 1);
        setup.selectInput(2);
        EXPECT_EQ(view.take(), 0);

        struct Move {
            RecordingDeviceSetup::SliderAction action;
            int thumb;
            int position;
            std::uint32_t value; // written to both channels
        } moves[] = {
            {RecordingDeviceSetup::SliderAction::Home, 0, 0, 0},
            {RecordingDeviceSetup::SliderAction::LineUp, 0, 0, 0}, // clamped
            {RecordingDeviceSetup::SliderAction::LineDown, 0, 1, 2},
            {RecordingDeviceSetup::SliderAction::PageDown, 0, 6554, 13108},
            {RecordingDeviceSetup::SliderAction::Drag, 100, 100, 200},
            {RecordingDeviceSetup::SliderAction::End, 0, 32767, 65535},
            {RecordingDeviceSetup::SliderAction::PageDown, 0, 32767, 65535}, // clamped
            {RecordingDeviceSetup::SliderAction::Drag, 40000, 32767, 65535},
        };
        for (const Move& m : moves) {
            const int before = setup.sliderPosition();
            setup.moveSlider(m.action, m.thumb);
            EXPECT_EQ(setup.sliderPosition(), m.position);
            EXPECT_EQ(view.take(), m.position != before ? 1 : 0); // the view hears of moves only
            EXPECT_EQ(platform.written[2], (std::vector<std::uint32_t>{m.value, m.value}));
        }
    }
    // Closing the dialog releases the device and the mixer.
    EXPECT_FALSE(platform.waveInOpen);
    EXPECT_FALSE(platform.mixerOpen);
}

TEST(RecordingDeviceSetupTest, UnreadableVolumeDisablesOnlyTheSlider)
{
    ScriptedInputs platform;
    platform.volumesReadable = false;
    test::ScriptedUi ui;
    RecordingDeviceSetup setup(platform, ui);
    setup.open();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(setup.inputListEnabled());
    EXPECT_FALSE(setup.sliderEnabled());
    setup.moveSlider(RecordingDeviceSetup::SliderAction::End);
    EXPECT_TRUE(platform.written.empty());
}

} // namespace
} // namespace pavonia
