#include "app/StartupDialogFlow.h"

#include "platform/Folders.h"
#include "platform/Text.h"

namespace pavonia {

namespace {

constexpr const char* kStandardKey = "0_800";
constexpr const char* kCustomKey = "1_800";

} // namespace

StartupDialogFlow::StartupDialogFlow(ProjectSettings& project, Preferences& preferences,
                                     const TemplateLibrary& library, StartupDialogHost& host)
    : project_(project), preferences_(preferences), library_(library), host_(host)
{
}

bool StartupDialogFlow::readLayoutSettings(ProjectSettings& project, const TemplateLibrary& library)
{
    const std::optional<LayoutBehaviour> behaviour = library.ReadLayoutBehaviour(project.layoutNumber);
    if (!behaviour)
        return false;
    project.autoPlay = behaviour->autoPlay;
    project.autoLoop = behaviour->autoLoop;
    project.autoJump = behaviour->autoJump;
    return true;
}

void StartupDialogFlow::setDefaults()
{
    project_.resolutionKey = kStandardKey;
    project_.styleNumber = 0;
    project_.layoutNumber = 0;
}

bool StartupDialogFlow::run(bool atStartup)
{
    layoutSettingsLost_ = false;
    setDefaults();
    if (!atStartup || preferences_.initDlg() != 0) {
        StartupDialogState state;
        state.atStartup = atStartup;
        state.showAtStartup = preferences_.initDlg() != 0;
        const std::optional<StartupDialogAnswer> answer = host_.showStartupDialog(state);
        if (!answer) {
            host_.refreshStylePage(0);
        } else {
            preferences_.setInitDlg(answer->showAtStartup ? 1 : 0);
            if (answer->choice == StartupChoice::LoadProject)
                return host_.openProject();
            startFromStyle(answer->choice == StartupChoice::Custom);
        }
    }
    if (!readLayoutSettings(project_, library_)) {
        layoutSettingsLost_ = true;
        return false;
    }
    return true;
}

void StartupDialogFlow::startFromStyle(bool custom)
{
    project_.resolutionKey = custom ? kCustomKey : kStandardKey;
    project_.styleNumber = custom ? kFirstCustomStyle : 0;
    const std::optional<StylePick> pick = host_.pickStyleFromList(custom);
    if (!pick) {
        project_.layoutNumber = 0;
    } else {
        project_.styleNumber = pick->styleNumber;
        if (!pick->resolutionKey.empty())
            project_.resolutionKey = pick->resolutionKey;
        resolveLayout(custom);
    }
    if (custom)
        host_.customStyleChosen();
    host_.refreshStylePage(project_.layoutNumber);
}

void StartupDialogFlow::resolveLayout(bool custom)
{
    std::optional<ResolutionKey> key = ResolutionKey::parse(project_.resolutionKey);
    if (!key) {
        project_.resolutionKey = custom ? kCustomKey : kStandardKey;
        key = ResolutionKey::parse(project_.resolutionKey);
    }
    if (!key->special()) {
        project_.layoutNumber = host_.styleLayoutChoice().value_or(0);
        return;
    }
    // A special style brings its layout: the digits behind the "L" of its
    // first "L" entry. Without one the layout stays as it was.
    const std::string first = folders::firstMatching(library_.styleFolder(project_.styleNumber, true), "L*");
    if (!first.empty())
        project_.layoutNumber = parseClampedInt(finalComponent(first).substr(1));
}

} // namespace pavonia
