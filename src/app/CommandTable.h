#pragma once
// Every command of the main window in one table: its ids (menu, tool bar and
// tree context menu ids of one command behave alike), its menu text, keys and
// tool bar label, whether it stops voice playback first, and the rule that
// enables it. Menus, tool bar, context menu and key handling all read this
// table; nothing here knows about widgets.
#include <array>
#include <optional>
#include <span>
#include <string>

namespace pavonia {

enum class Command {
    NewProject,
    OpenProject,
    SaveProject,
    SaveAs,
    ImportMedia,
    ImportWave,
    ImportTalkingImage,
    ImportTalkingMessage,
    ExportHtml,
    Exit,
    MoveUp,
    MoveDown,
    Add,
    Delete,
    Rename,
    HtmlCodeCopy,
    ProjectStyle,
    SlideInfo,
    SlidePreview,
    ProjectSettings,
    CustomSettings,
    SelectImageStyle,
    SelectLayout,
    Preferences,
    HelpContent,
    GettingStarted,
    CheckForUpdates,
    MakerWebLink,
    ProductWebLink,
    About,
    SelectAll,
};
inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::SelectAll) + 1;

// What a command needs to be enabled.
enum class EnableRule {
    Always,
    EditingAllowed,
    MediaImport,     // editing allowed, a session or slide selected, the layout has a media area
    VoiceImport,     // the document's voice import flag
    ImageImport,     // the document's image import flag
    ItemSelected,    // editing allowed and a session or slide selected (Add)
    MoveUp,          // ... and not at the top
    MoveDown,        // ... and not at the bottom
    Delete,          // ... and canDelete
    Rename,          // editing allowed and the target may be renamed
    CustomStyle,     // editing allowed and a custom style (style number 1000 or more)
    LayoutSelectable // editing allowed and the resolution kind is not "-1"
};

struct CommandEntry {
    Command command;
    std::array<int, 3> ids;  // the first is the menu id; 0 fills unused places
    int menuText;            // string number; 0: no menu item
    const char* keys;        // a key sequence in portable text form, or ""
    int toolText;            // string number of the tool bar label; 0: none
    bool stopsPlayback;
    EnableRule rule;
};

// The whole table, in the order of the command list.
std::span<const CommandEntry> commandTable();
const CommandEntry& commandEntry(Command command);
// The command an id belongs to, or nothing for an unknown id.
std::optional<Command> commandForId(int id);
// The tool bar's commands, in the order of its buttons.
std::span<const Command> toolBarCommands();
// The tree context menu's commands; nothing stands for a separator.
std::span<const std::optional<Command>> contextMenuCommands();

// The state the enabling rules are evaluated over: the document's command
// flags, the tree's selection state and the project's layout and style.
struct CommandInputs {
    bool editingAllowed = true;
    bool voiceImportAllowed = false;
    bool imageImportAllowed = false;
    bool itemSelected = false; // a session or slide rather than the root
    bool atTop = false;
    bool atBottom = false;
    bool canDelete = false;
    bool canRename = false;
    bool layoutHasMedia = true; // the layout's "EffectLayer"
    int styleNumber = 0;
    std::string resolutionKey = "0_800";
};

class ProjectDocument;
class TreeOperations;
struct LayoutLayers;

// The inputs as the document, the tree's selection (or the pending item of
// an open context menu) and the current layout's layers stand.
CommandInputs gatherCommandInputs(const ProjectDocument& document, const TreeOperations& operations,
                                  const LayoutLayers& layers);

bool isEnabled(EnableRule rule, const CommandInputs& inputs);
inline bool isEnabled(Command command, const CommandInputs& inputs)
{
    return isEnabled(commandEntry(command).rule, inputs);
}

// Every command's enabled state at once, indexed by Command.
std::array<bool, kCommandCount> enabledCommands(const CommandInputs& inputs);

} // namespace pavonia
