#include "voice/VoiceFilterDialogLogic.h"

#include "platform/IniFile.h"
#include "platform/StringTable.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"
#include "ViewCounter.h"
#include "voice/VoiceFilters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace pavonia {
namespace {

using test::ScriptedUi;
using test::TestInstallation;
using test::ViewCounter;
using Logic = VoiceFilterDialogLogic;

// An engine holding a voice in memory. It filters with the real filters and
// reports the end of playback the way the page forwards it to the dialog.
class FakeEngine final : public VoiceFilterEngine {
public:
    FakeEngine()
    {
        voice.sampleRate = 8000;
        voice.samples.resize(8000 * 14); // 14 s
        for (std::size_t i = 0; i < voice.samples.size(); ++i)
            voice.samples[i] = int16_t(4000 * std::sin(0.1 * double(i)) + 1000 * std::sin(0.013 * double(i)));
    }

    PcmAudio ReserveData() const override
    {
        ++reserved;
        return voice;
    }
    void RestoreData(const PcmAudio& saved) override
    {
        ++restored;
        voice = saved;
    }
    bool EditVoice(int64_t startMs, int64_t endMs, const VoiceEditRecord& record) override
    {
        edits.push_back({startMs, endMs, record});
        return applyVoiceFilter(voice, startMs, endMs, record);
    }
    bool PlayPreview(int64_t ms) override
    {
        previews.push_back(ms);
        playingPreview = canPlay;
        return canPlay;
    }
    void Stop() override
    {
        ++stops;
        bool was = playingPreview || playingAll;
        playingPreview = playingAll = false;
        if (was && onStopped)
            onStopped();
    }
    bool IsPlayAll() const override { return playingAll; }
    bool IsPlaySelection() const override { return playingPreview; }
    bool IsAsyncRecord() const override { return false; }
    int64_t GetTotalTime() const override { return voice.lengthMs(); }

    struct Edit {
        int64_t start, end;
        VoiceEditRecord record;
    };
    PcmAudio voice;
    mutable int reserved = 0;
    int restored = 0;
    int stops = 0;
    bool canPlay = true;
    bool playingPreview = false;
    bool playingAll = false;
    std::vector<Edit> edits;
    std::vector<int64_t> previews;
    std::function<void()> onStopped;
};

std::string templateFile(const std::vector<std::string>& names, int customFlag = 0)
{
    int total = int(names.size()) - customFlag;
    std::string file = "[Common]\nTotal=" + std::to_string(total) + "\nCustomFlag=" + std::to_string(customFlag) +
                       "\nCustomIndex=" + std::to_string(total) + "\n";
    for (std::size_t i = 0; i < names.size(); ++i)
        file += "[Filter-" + std::to_string(i) + "]\nName=" + names[i] + "\nEffect=9\nPitchscale=" +
                std::to_string(60 + i) + "\nHeadsize=50\nRobot=0\nEcho=" + std::to_string(20 + i) + "\n";
    return file;
}

class VoiceFilterDialogTest : public ::testing::Test {
protected:
    void open(const std::vector<std::string>& names, int customFlag = 0)
    {
        if (!names.empty())
            install.writeFile("install/voicefilter.ini", templateFile(names, customFlag));
        logic.open();
    }
    std::vector<int> sliders() const
    {
        return {logic.sliderValue(Logic::Pitch), logic.sliderValue(Logic::HeadSize), logic.sliderValue(Logic::Robot),
                logic.sliderValue(Logic::Echo)};
    }
    std::vector<bool> checks() const
    {
        return {logic.checked(Logic::Pitch), logic.checked(Logic::HeadSize), logic.checked(Logic::Robot),
                logic.checked(Logic::Echo)};
    }
    // Runs dialog 170: types `name` and presses OK once; true when it closed.
    Logic::AddDialogRunner typing(const std::string& name, std::string* shownName = nullptr)
    {
        return [name, shownName](AddVoiceTemplateLogic& dialog) {
            if (shownName)
                *shownName = dialog.name();
            dialog.setName(name);
            return dialog.ok();
        };
    }

    TestInstallation install{false};
    ScriptedUi ui;
    FakeEngine engine;
    Logic logic{install.folder(), engine, ui};
};

TEST_F(VoiceFilterDialogTest, OpensOnNoneWithTheNaturalSettingsAndShowsTheCustomTemplateLast)
{
    open({"Deep", "High", "Robot", "Custom-1"}, 1);
    EXPECT_EQ(logic.listEntries(), (std::vector<std::string>{"none", "Deep", "High", "Robot", "Custom-1"}));
    EXPECT_EQ(logic.selection(), 0);
    EXPECT_EQ(checks(), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(sliders(), (std::vector<int>{50, 50, 0, 0}));
    EXPECT_EQ(logic.numberText(Logic::Pitch), "50");
    EXPECT_TRUE(logic.addEnabled());
    EXPECT_FALSE(logic.delEnabled());
    EXPECT_TRUE(logic.controlsEnabled());
    EXPECT_EQ(logic.testButtonText(), "Test");
}

TEST_F(VoiceFilterDialogTest, BothDialogsTellTheirViewsOfEachChangeAndOfNoOther)
{
    ViewCounter view(logic);
    open({"Deep", "High"});
    EXPECT_EQ(view.take(), 1);
    logic.select(0); // already selected
    logic.select(9); // no such entry
    EXPECT_EQ(view.take(), 0);
    logic.select(2);
    EXPECT_EQ(view.take(), 1);
    logic.setSlider(Logic::Echo, 40);
    EXPECT_EQ(view.take(), 1);
    logic.test(); // the controls lock while the preview plays
    EXPECT_EQ(view.take(), 1);
    logic.setSlider(Logic::Echo, 10); // locked: nothing changes
    EXPECT_EQ(view.take(), 0);
    logic.reject();
    EXPECT_EQ(view.take(), 1);

    AddVoiceTemplateLogic dialog("Mine", logic.templates(), ui);
    ViewCounter addView(dialog);
    dialog.setName("Mine");
    EXPECT_EQ(addView.take(), 0);
    dialog.setName("Yours");
    EXPECT_EQ(addView.take(), 1);
}

TEST_F(VoiceFilterDialogTest, SelectingShowsTheTemplateAndDropsTheCustomOne)
{
    open({"Deep", "High", "Custom-1"}, 1);
    logic.select(2);
    EXPECT_EQ(logic.listEntries(), (std::vector<std::string>{"none", "Deep", "High"}));
    EXPECT_EQ(checks(), (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(sliders(), (std::vector<int>{61, 50, 0, 21}));
    EXPECT_TRUE(logic.delEnabled());
    EXPECT_FALSE(logic.addEnabled());

    logic.select(0);
    EXPECT_EQ(sliders(), (std::vector<int>{50, 50, 0, 0}));
    EXPECT_FALSE(logic.delEnabled());
}

TEST_F(VoiceFilterDialogTest, AChangeGoesIntoACustomTemplateWithAFreeName)
{
    struct Case {
        std::vector<std::string> saved;
        std::string expectedName;
    } cases[] = {{{}, "Custom-1"}, {{"Custom-1", "custom-2"}, "Custom-3"}};
    for (const Case& c : cases) {
        TestInstallation inst(false);
        if (!c.saved.empty())
            inst.writeFile("install/voicefilter.ini", templateFile(c.saved));
        Logic l(inst.folder(), engine, ui);
        l.open();
        l.setSlider(Logic::Echo, 70);
        const int position = int(c.saved.size()) + 1;
        ASSERT_EQ(int(l.listEntries().size()), position + 1);
        EXPECT_EQ(l.listEntries().back(), c.expectedName);
        EXPECT_EQ(l.selection(), position);
        EXPECT_TRUE(l.addEnabled());
        EXPECT_FALSE(l.delEnabled());
        const VoiceTemplate& custom = l.templates().at(position - 1);
        EXPECT_EQ(custom.echo, 70);
        EXPECT_EQ(custom.pitchScale, 50);
        EXPECT_EQ(custom.effects, 0u);

        // Further changes go into the same custom template.
        l.setChecked(Logic::Echo, true);
        EXPECT_EQ(int(l.listEntries().size()), position + 1);
        EXPECT_EQ(l.templates().at(position - 1).effects, uint32_t(kVoiceEffectEcho));
    }
}

TEST_F(VoiceFilterDialogTest, AChangeFromASavedTemplateKeepsTheSavedOneAsItWas)
{
    open({"Deep", "High"});
    logic.select(1);
    logic.setSlider(Logic::Robot, 40);
    EXPECT_EQ(logic.selection(), 3);
    EXPECT_EQ(logic.templates().at(0).robot, 0);
    EXPECT_EQ(logic.templates().at(2), (VoiceTemplate{"Custom-1", 9, 60, 50, 40, 20}));
}

TEST_F(VoiceFilterDialogTest, WithAFullListAChangeIsRefusedAndUndone)
{
    std::vector<std::string> names;
    for (int i = 0; i < 256; ++i)
        names.push_back("T" + std::to_string(i));
    open(names);
    logic.select(5);
    logic.setSlider(Logic::Pitch, 90);
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Insufficient space to create new template."}));
    EXPECT_EQ(logic.sliderValue(Logic::Pitch), 64);
    EXPECT_EQ(logic.listEntries().size(), 257u);
    EXPECT_EQ(logic.selection(), 5);
}

TEST_F(VoiceFilterDialogTest, AddChecksTheNameAndSavesTheCurrentSettings)
{
    open({"Deep", "High"});
    std::string shown;
    logic.add([&shown](AddVoiceTemplateLogic& dialog) {
        shown = dialog.name();
        return false; // cancelled
    });
    EXPECT_EQ(shown, "none");
    EXPECT_EQ(logic.listEntries().size(), 3u);

    logic.select(1);
    logic.setSlider(Logic::Echo, 77);
    logic.setChecked(Logic::Robot, true);

    // Refused and left open: silently for a forbidden character, with a
    // message for a name that differs from a saved one only in case (also
    // after trimming).
    for (const char* bad : {"a/b", "why?", "tab\there", "dot.", "back\\slash", "at@"}) {
        AddVoiceTemplateLogic dialog("", logic.templates(), ui);
        dialog.setName(bad);
        EXPECT_FALSE(dialog.ok()) << bad;
    }
    EXPECT_TRUE(ui.shown.empty());
    for (const char* taken : {"HIGH", "  deep "}) {
        AddVoiceTemplateLogic dialog("", logic.templates(), ui);
        dialog.setName(taken);
        EXPECT_FALSE(dialog.ok()) << taken;
    }
    EXPECT_EQ(ui.texts(), (std::vector<std::string>(2, "The specified name already exist. Please use another name.")));
    ui.shown.clear();

    logic.add(typing("   "));
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Please input template name."}));
    EXPECT_EQ(logic.listEntries().back(), "Custom-1");

    logic.add(typing("  echo room  ", &shown));
    EXPECT_EQ(shown, "Custom-1");
    EXPECT_EQ(logic.listEntries(), (std::vector<std::string>{"none", "Deep", "echo room", "High"}));
    EXPECT_EQ(logic.selection(), 2);
    EXPECT_TRUE(logic.delEnabled());
    EXPECT_FALSE(logic.addEnabled());
    EXPECT_EQ(sliders(), (std::vector<int>{60, 50, 0, 77}));

    VoiceTemplateList file(install.folder());
    file.read();
    ASSERT_EQ(file.count(), 3);
    EXPECT_FALSE(file.hasCustom());
    EXPECT_EQ(file.at(1), (VoiceTemplate{"echo room", 9 | kVoiceEffectRobot, 60, 50, 0, 77}));
}

TEST_F(VoiceFilterDialogTest, AddCanSaveTheCustomTemplateUnderItsOwnName)
{
    open({"Deep"});
    logic.setSlider(Logic::Pitch, 20);
    logic.add([](AddVoiceTemplateLogic& dialog) { return dialog.ok(); });
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(logic.listEntries(), (std::vector<std::string>{"none", "Custom-1", "Deep"}));
    EXPECT_FALSE(logic.templates().hasCustom());
}

TEST_F(VoiceFilterDialogTest, DeleteSelectsTheNeighbourAndTheLastOneLeavesACustomTemplate)
{
    open({"A", "B", "C"});
    logic.select(2);
    logic.remove();
    EXPECT_EQ(logic.listEntries(), (std::vector<std::string>{"none", "A", "C"}));
    EXPECT_EQ(logic.selection(), 2);
    EXPECT_EQ(sliders()[0], 62);
    logic.remove();
    EXPECT_EQ(logic.selection(), 1);
    EXPECT_EQ(logic.listEntries(), (std::vector<std::string>{"none", "A"}));

    // Nothing is written until ADD or OK.
    VoiceTemplateList file(install.folder());
    file.read();
    EXPECT_EQ(file.count(), 3);

    logic.remove();
    EXPECT_EQ(logic.listEntries(), (std::vector<std::string>{"none", "Custom-1"}));
    EXPECT_EQ(logic.selection(), 1);
    EXPECT_EQ(sliders(), (std::vector<int>{60, 50, 0, 20}));
    EXPECT_FALSE(logic.delEnabled());
    logic.remove(); // refused on the custom template
    EXPECT_EQ(logic.listEntries().size(), 2u);
}

TEST_F(VoiceFilterDialogTest, TestFiltersElevenSecondsPlaysTenAndCancelLeavesTheVoiceAsItWas)
{
    engine.onStopped = [this] { logic.previewStopped(); };
    const PcmAudio original = engine.voice;
    open({"Deep"});
    logic.select(1);
    logic.test();
    EXPECT_EQ(logic.testButtonText(), "Stop");
    EXPECT_FALSE(logic.controlsEnabled());
    EXPECT_FALSE(logic.addEnabled());
    EXPECT_FALSE(logic.delEnabled());
    ASSERT_EQ(engine.edits.size(), 1u);
    EXPECT_EQ(engine.edits[0].start, 0);
    EXPECT_EQ(engine.edits[0].end, 11000);
    EXPECT_EQ(engine.edits[0].record.leading, (std::array<int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(engine.edits[0].record.echo, 20);
    EXPECT_EQ(engine.previews, (std::vector<int64_t>{10000}));
    EXPECT_NE(engine.voice.samples, original.samples);

    logic.setSlider(Logic::Pitch, 10); // controls are locked during the preview
    EXPECT_EQ(logic.sliderValue(Logic::Pitch), 60);

    logic.reject();
    EXPECT_EQ(engine.stops, 1);
    EXPECT_EQ(engine.voice.samples, original.samples);
    EXPECT_TRUE(logic.closed());
    EXPECT_FALSE(logic.accepted());
    EXPECT_EQ(engine.edits.size(), 1u);
}

TEST_F(VoiceFilterDialogTest, TheEndOfThePreviewPutsTheVoiceBackAndUnlocksTheDialog)
{
    open({"Deep"});
    const PcmAudio original = engine.voice;
    struct Case {
        const char* what;
        int selection;
        bool canPlay;
        bool filtered;
    } cases[] = {{"template", 1, true, true}, {"none", 0, true, false}, {"playback fails", 1, false, true}};
    for (const Case& c : cases) {
        engine.edits.clear();
        logic.select(c.selection);
        logic.test();
        EXPECT_EQ(engine.edits.size(), c.filtered ? 1u : 0u) << c.what;
        engine.canPlay = true;
        if (logic.testing()) {
            engine.playingPreview = false; // the preview ran to its end
            logic.previewStopped();
        }
        EXPECT_EQ(logic.testButtonText(), "Test") << c.what;
        EXPECT_TRUE(logic.controlsEnabled()) << c.what;
        EXPECT_EQ(engine.voice.samples, original.samples) << c.what;
        engine.canPlay = c.canPlay;
    }
    // A second "Test" while the preview plays stops it.
    engine.canPlay = true;
    logic.select(1);
    logic.test();
    logic.test();
    EXPECT_EQ(engine.stops, 1);
    EXPECT_FALSE(logic.testing());
    EXPECT_EQ(engine.voice.samples, original.samples);
}

TEST_F(VoiceFilterDialogTest, OkWritesTheFileAndFiltersTheWholeMessage)
{
    open({"Deep"});
    logic.setChecked(Logic::HeadSize, true);
    logic.setSlider(Logic::HeadSize, 80);
    logic.test(); // a preview still playing is stopped and undone first
    logic.accept();
    EXPECT_TRUE(logic.closed());
    EXPECT_TRUE(logic.accepted());
    ASSERT_EQ(engine.edits.size(), 2u);
    const auto& ok = engine.edits[1];
    EXPECT_EQ(ok.start, 0);
    EXPECT_EQ(ok.end, 14000);
    EXPECT_EQ(ok.record, VoiceEditRecord::forOk(kVoiceEffectHeadSize, 50, 80, 0, 0));
    EXPECT_EQ(engine.restored, 1);

    // The unsaved custom template is kept in the file, after the saved ones.
    IniFile ini(install.folder() + "voicefilter.ini");
    EXPECT_EQ(ini.readInt("Common", "CustomFlag", 0), 1);
    VoiceTemplateList file(install.folder());
    file.read();
    ASSERT_TRUE(file.hasCustom());
    EXPECT_EQ(file.at(1), (VoiceTemplate{"Custom-1", kVoiceEffectHeadSize, 50, 80, 0, 0}));
}

TEST_F(VoiceFilterDialogTest, OkWithNoneLeavesTheVoiceUnchanged)
{
    open({});
    const PcmAudio original = engine.voice;
    logic.accept();
    ASSERT_EQ(engine.edits.size(), 1u);
    EXPECT_EQ(engine.edits[0].record.encode()[8], 100);
    EXPECT_EQ(engine.edits[0].record.effects, 0);
    EXPECT_EQ(engine.voice.samples, original.samples);
    EXPECT_TRUE(IniFile::exists(install.folder() + "voicefilter.ini")); // created by the first write
}

TEST_F(VoiceFilterDialogTest, AFileThatCannotBeWrittenIsReportedAndNothingIsLost)
{
    // A folder in the file's place makes every write fail.
    std::filesystem::create_directories(install.folder() + "voicefilter.ini");
    open({});
    logic.setChecked(Logic::Echo, true);
    logic.setSlider(Logic::Echo, 40);
    logic.add(typing("Hall"));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("cannot be written"), std::string::npos) << ui.shown[0].text;
    EXPECT_EQ(logic.listEntries(), (std::vector<std::string>{"none", "Hall"}));
    EXPECT_EQ(logic.selection(), 1);

    logic.accept(); // the message is still filtered
    EXPECT_EQ(ui.shown.size(), 2u);
    ASSERT_EQ(engine.edits.size(), 1u);
    EXPECT_EQ(engine.edits[0].record.echo, 40);
}

} // namespace
} // namespace pavonia
