#include "app/PreferencesLogic.h"

#include "ScriptedUi.h"
#include "TestInstallation.h"
#include "platform/StringTable.h"
#include "voice/NoInputDevices.h"
#include "voice/RecordingDeviceSetup.h"

#include <gtest/gtest.h>

namespace pavonia {
namespace {

TEST(PreferencesRecordingTest, AFailingRecordingGroupLeavesTheRestOfTheDialogWorking)
{
    test::TestInstallation inst{false};
    inst.writeFile("install/Template/Pavonia.ini",
                   "[Global]\nTransitionCount=2\n[Transition]\nTrans0=A\nTrans1=B\nTrans2=C\n");
    inst.writeFile("install/PVPreference.ini", "[PVPreference]\nDelay=4\nTransition=1\n");
    Preferences preferences(inst.folder());
    TransitionList transitions(inst.folder());
    test::ScriptedUi ui;
    NoInputDevices device;
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
