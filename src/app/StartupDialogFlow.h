#pragma once
// How a project begins: at start-up, and for New Project, the start-up
// dialog lets the user start from a standard style ("Template"), a custom
// style ("Custom") or a project file ("Load Project"). The dialog, the style
// list and the open command are the program's; this class holds the rules
// between them and is tested without a display.
#include "project/Preferences.h"
#include "project/Records.h"
#include "templates/TemplateLibrary.h"

#include <optional>
#include <string>

namespace pavonia {

enum class StartupChoice { Template, Custom, LoadProject };

// What the start-up dialog shows when it opens.
struct StartupDialogState {
    // False for New Project: "Load Project", its group and "Show at
    // startup" are disabled and the dialog is shortened to end 10 pixels
    // below the top of that group.
    bool atStartup = true;
    bool showAtStartup = true; // "Show at startup", from "InitDlg"
    StartupChoice choice = StartupChoice::Template;
};

// What "&OK" gives.
struct StartupDialogAnswer {
    StartupChoice choice = StartupChoice::Template;
    bool showAtStartup = true;
};

// A confirmed style list: the chosen style and the resolution key it formed
// (empty when it formed none).
struct StylePick {
    int styleNumber = 0;
    std::string resolutionKey;
};

// What the flow asks of the program.
class StartupDialogHost {
public:
    virtual ~StartupDialogHost() = default;
    // Shows the start-up dialog (dialog 154); nothing when cancelled.
    virtual std::optional<StartupDialogAnswer> showStartupDialog(const StartupDialogState& state) = 0;
    // Opens the style page's style list in its template (`custom` false) or
    // custom mode; nothing when cancelled.
    virtual std::optional<StylePick> pickStyleFromList(bool custom) = 0;
    // The style page's layout choice; nothing when it has none.
    virtual std::optional<int> styleLayoutChoice() = 0;
    // A custom style was chosen: the project background takes its new name.
    virtual void customStyleChosen() {}
    // Refreshes the style page and tells it the layout number.
    virtual void refreshStylePage(int layoutNumber) = 0;
    // The open-project command; true when a project was opened.
    virtual bool openProject() = 0;
};

class StartupDialogFlow {
public:
    StartupDialogFlow(ProjectSettings& project, Preferences& preferences, const TemplateLibrary& library,
                      StartupDialogHost& host);

    // Runs the flow at start-up (`atStartup`) or for a new project. True
    // when a project is ready: a new one whose layout settings were read, or
    // one the user opened.
    bool run(bool atStartup);
    // After a failed run: true when it failed because the layout settings
    // file was missing (its message was shown).
    bool layoutSettingsLost() const { return layoutSettingsLost_; }

    // The layout settings of the project's layout ("AutoPlay", "AutoLoop",
    // "AutoJump") become its play switches; false after "Ini file lost."
    // when the file is missing.
    static bool readLayoutSettings(ProjectSettings& project, const TemplateLibrary& library);

private:
    void setDefaults();
    void startFromStyle(bool custom);
    void resolveLayout(bool custom);

    ProjectSettings& project_;
    Preferences& preferences_;
    const TemplateLibrary& library_;
    StartupDialogHost& host_;
    bool layoutSettingsLost_ = false;
};

} // namespace pavonia
