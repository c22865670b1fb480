#include "app/CommandTable.h"
#include "platform/StringTable.h"
#include "project/ProjectDocument.h"
#include "project/TreeOperations.h"
#include "templates/LayoutLayers.h"

namespace pavonia {

namespace {

using R = EnableRule;
using C = Command;

// In the order of the Command enumeration, so an entry is found by index.
constexpr CommandEntry kTable[] = {
    {C::NewProject, {57600, 0, 0}, str::CmdNewProject, "Ctrl+N", str::ToolNew, true, R::EditingAllowed},
    {C::OpenProject, {57601, 0, 0}, str::CmdOpenProject, "Ctrl+O", str::ToolOpen, true, R::EditingAllowed},
    {C::SaveProject, {57603, 32785, 0}, str::CmdSaveProject, "Ctrl+S", str::ToolSave, true, R::EditingAllowed},
    {C::SaveAs, {57604, 0, 0}, str::CmdSaveAs, "", 0, true, R::EditingAllowed},
    {C::ImportMedia, {32798, 32771, 0}, str::CmdImportMedia, "", str::ToolImport, false, R::MediaImport},
    {C::ImportWave, {32809, 0, 0}, str::CmdImportWave, "", 0, false, R::VoiceImport},
    {C::ImportTalkingImage, {32813, 0, 0}, str::CmdImportTalkingImage, "", 0, false, R::ImageImport},
    {C::ImportTalkingMessage, {32814, 0, 0}, str::CmdImportTalkingMessage, "", 0, false, R::VoiceImport},
    {C::ExportHtml, {32799, 32777, 0}, str::CmdExportHtml, "Ctrl+E", str::ToolExport, false, R::EditingAllowed},
    {C::Exit, {57665, 0, 0}, str::CmdExit, "", 0, false, R::Always},
    {C::MoveUp, {32794, 32780, 32772}, str::CmdMoveUp, "Ctrl+Up", str::ToolUp, true, R::MoveUp},
    {C::MoveDown, {32795, 32781, 32773}, str::CmdMoveDown, "Ctrl+Down", str::ToolDown, true, R::MoveDown},
    {C::Add, {32796, 32778, 32774}, str::CmdAdd, "Ins", str::ToolAdd, true, R::ItemSelected},
    {C::Delete, {32797, 32779, 32775}, str::CmdDelete, "Ctrl+Del", str::ToolDelete, true, R::Delete},
    {C::Rename, {32820, 0, 0}, str::CmdRename, "F2", 0, false, R::Rename},
    {C::HtmlCodeCopy, {32815, 0, 0}, str::CmdHtmlCodeCopy, "", 0, false, R::EditingAllowed},
    {C::ProjectStyle, {32790, 32783, 0}, str::CmdProjectStyle, "", str::ToolProject, true, R::EditingAllowed},
    {C::SlideInfo, {32791, 32784, 0}, str::CmdSlideInfo, "", str::ToolInfo, true, R::EditingAllowed},
    {C::SlidePreview, {32793, 32776, 0}, str::CmdSlidePreview, "F12", str::ToolPreview, false, R::EditingAllowed},
    {C::ProjectSettings, {32802, 0, 0}, str::CmdProjectSettings, "Ctrl+P", 0, true, R::EditingAllowed},
    {C::CustomSettings, {32800, 0, 0}, str::CmdCustomSettings, "Ctrl+B", 0, true, R::CustomStyle},
    {C::SelectImageStyle, {32803, 0, 0}, str::CmdSelectImageStyle, "", 0, true, R::EditingAllowed},
    {C::SelectLayout, {32804, 0, 0}, str::CmdSelectLayout, "", 0, true, R::LayoutSelectable},
    {C::Preferences, {32805, 0, 0}, str::CmdPreferences, "Ctrl+K", 0, true, R::EditingAllowed},
    {C::HelpContent, {32786, 0, 0}, str::CmdContent, "F1", 0, true, R::Always},
    {C::GettingStarted, {32787, 0, 0}, str::CmdGettingStarted, "", 0, true, R::Always},
    {C::CheckForUpdates, {32812, 0, 0}, str::CmdCheckForUpdates, "", 0, false, R::Always},
    {C::MakerWebLink, {32788, 0, 0}, str::CmdMakerWebLink, "", 0, true, R::Always},
    {C::ProductWebLink, {32789, 0, 0}, str::CmdProductWebLink, "", 0, true, R::Always},
    {C::About, {57664, 0, 0}, str::CmdAbout, "", 0, false, R::Always},
    {C::SelectAll, {32821, 0, 0}, 0, "Ctrl+A", 0, false, R::Always},
};
static_assert(std::size(kTable) == kCommandCount, "one entry per command");

constexpr bool inEnumOrder()
{
    for (std::size_t i = 0; i < std::size(kTable); ++i)
        if (static_cast<std::size_t>(kTable[i].command) != i)
            return false;
    return true;
}
static_assert(inEnumOrder(), "entries are found by their command's index");

constexpr Command kToolBar[] = {C::NewProject, C::OpenProject, C::SaveProject, C::ImportMedia,
                                C::MoveUp,     C::MoveDown,    C::Add,         C::Delete,
                                C::SlidePreview, C::ExportHtml, C::ProjectStyle, C::SlideInfo};

constexpr std::optional<Command> kContextMenu[] = {C::Add,      C::Delete,   std::nullopt, C::MoveUp,
                                                   C::MoveDown, std::nullopt, C::Rename};

// The kind part of a resolution key: the text before its "_".
std::string resolutionKind(const std::string& key)
{
    return key.substr(0, key.find('_'));
}

} // namespace

std::span<const CommandEntry> commandTable()
{
    return kTable;
}

const CommandEntry& commandEntry(Command command)
{
    return kTable[static_cast<std::size_t>(command)];
}

std::optional<Command> commandForId(int id)
{
    if (id == 0)
        return std::nullopt;
    for (const CommandEntry& entry : kTable)
        for (int candidate : entry.ids)
            if (candidate == id)
                return entry.command;
    return std::nullopt;
}

std::span<const Command> toolBarCommands()
{
    return kToolBar;
}

std::span<const std::optional<Command>> contextMenuCommands()
{
    return kContextMenu;
}

CommandInputs gatherCommandInputs(const ProjectDocument& document, const TreeOperations& operations,
                                  const LayoutLayers& layers)
{
    CommandInputs in;
    in.editingAllowed = document.editingAllowed();
    in.voiceImportAllowed = document.voiceImportAllowed();
    in.imageImportAllowed = document.imageImportAllowed();
    in.itemSelected = operations.itemSelected();
    in.atTop = operations.atTop();
    in.atBottom = operations.atBottom();
    in.canDelete = operations.canDelete();
    const ProjectTree& tree = document.tree();
    const TreeItem* target = tree.pendingItem() ? tree.pendingItem() : tree.selected();
    in.canRename = target && operations.canRename(*target);
    in.layoutHasMedia = layers.effect != 0;
    in.styleNumber = document.settings().styleNumber;
    in.resolutionKey = document.settings().resolutionKey;
    return in;
}

bool isEnabled(EnableRule rule, const CommandInputs& in)
{
    const bool item = in.editingAllowed && in.itemSelected;
    switch (rule) {
    case R::Always:
        return true;
    case R::EditingAllowed:
        return in.editingAllowed;
    case R::MediaImport:
        return item && in.layoutHasMedia;
    case R::VoiceImport:
        return in.voiceImportAllowed;
    case R::ImageImport:
        return in.imageImportAllowed;
    case R::ItemSelected:
        return item;
    case R::MoveUp:
        return item && !in.atTop;
    case R::MoveDown:
        return item && !in.atBottom;
    case R::Delete:
        return item && in.canDelete;
    case R::Rename:
        return in.editingAllowed && in.canRename;
    case R::CustomStyle:
        return in.editingAllowed && in.styleNumber >= 1000;
    case R::LayoutSelectable:
        return in.editingAllowed && resolutionKind(in.resolutionKey) != "-1";
    }
    return false;
}

std::array<bool, kCommandCount> enabledCommands(const CommandInputs& inputs)
{
    std::array<bool, kCommandCount> enabled{};
    for (const CommandEntry& entry : kTable)
        enabled[static_cast<std::size_t>(entry.command)] = isEnabled(entry.rule, inputs);
    return enabled;
}

} // namespace pavonia
