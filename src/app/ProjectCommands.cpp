#include "app/ProjectCommands.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"

namespace pavonia {

ProjectCommands::ProjectCommands(ProjectDocument& document, TreeOperations& operations, TemplateLibrary& library,
                                 LayoutLayers& layers)
    : document_(document), operations_(operations), library_(library), layers_(layers)
{
}

void ProjectCommands::stopPlayback()
{
    if (hooks_.stopPlayback)
        hooks_.stopPlayback();
}

void ProjectCommands::finishVoicePage()
{
    if (hooks_.finishVoicePage)
        hooks_.finishVoicePage();
}

bool ProjectCommands::runLong(bool saving, const std::string& path, const std::function<bool()>& work)
{
    if (hooks_.runLong)
        return hooks_.runLong(saving, path, work);
    BusyCursor busy(document_.ui());
    return work();
}

bool ProjectCommands::askToSave(int textId)
{
    if (!document_.dirty())
        return true;
    switch (document_.message(StringTable::text(textId), Buttons::YesNoCancel)) {
    case Answer::Yes:
        return SaveCommand(false);
    case Answer::No:
        return true;
    default:
        return false;
    }
}

FileDialogOptions ProjectCommands::projectDialog() const
{
    FileDialogOptions options;
    options.filter = StringTable::text(str::ProjectFileFilter);
    options.defaultExtension = "pvp";
    options.startFolder = document_.folderMemory().get(slot::Project);
    return options;
}

bool ProjectCommands::checkExtension(const std::string& path)
{
    if (equalsIgnoreCase(extensionOf(path), "pvp"))
        return true;
    document_.message(StringTable::format(str::UnsupportedFileFormat, {path}));
    return false;
}

void ProjectCommands::rememberFolder(const std::string& path)
{
    // The folder memory keeps folders with their trailing separator; a
    // drive or file-system root stays a root.
    document_.folderMemory().set(slot::Project, folderOf(path));
}

bool ProjectCommands::SaveCommand(bool force)
{
    BusyCursor busy(document_.ui());
    if (!force && !document_.dirty())
        return true;
    // A project read from a damaged file is not saved over that file
    // unasked: the user names the file, as for a new project.
    std::string path = document_.loadedDamaged ? std::string() : document_.documentPath;
    if (path.empty()) {
        FileDialogOptions options = projectDialog();
        options.overwritePrompt = true;
        const std::optional<std::string> chosen = document_.ui().saveFileDialog(options);
        if (!chosen)
            return false;
        path = *chosen;
        // A name typed without an extension gets the default one.
        if (extensionOf(path).empty())
            path += ".pvp";
        if (!checkExtension(path))
            return false;
        rememberFolder(path);
    }
    if (!runLong(true, path, [&] { return SaveProject(document_, path); }))
        return false;
    document_.updateTitle(document_.documentPath);
    return true;
}

bool ProjectCommands::Save()
{
    saveAsRequested_ = false;
    stopPlayback();
    return SaveCommand(false);
}

bool ProjectCommands::SaveAs()
{
    saveAsRequested_ = true;
    stopPlayback();
    const std::string kept = document_.documentPath;
    document_.documentPath.clear();
    const bool saved = SaveCommand(true);
    if (!saved)
        document_.documentPath = kept;
    saveAsRequested_ = false;
    return saved;
}

bool ProjectCommands::OpenProject()
{
    BusyCursor busy(document_.ui());
    stopPlayback();
    if (!askToSave(str::SaveBeforeOpening))
        return false;
    FileDialogOptions options = projectDialog();
    options.mustExist = true;
    const std::optional<std::vector<std::string>> chosen = document_.ui().openFileDialog(options);
    if (!chosen || chosen->empty())
        return false;
    const std::string& path = chosen->front();
    if (!checkExtension(path))
        return false;
    return OpenProjectFile(path);
}

bool ProjectCommands::OpenProjectFile(const std::string& path)
{
    // Asked again when the user declined saving before the Open dialog.
    if (!askToSave(str::SaveBeforeNew))
        return false;
    if (equalsIgnoreCase(extensionOf(path), "pvp"))
        rememberFolder(path);
    const bool loaded = runLong(false, path, [&] { return LoadProject(document_, operations_, path); });
    if (!loaded) {
        // A file refused before anything changed leaves the previous
        // project. One that failed half-way leaves what it held, without a
        // file name.
        ensureSession();
        document_.updateTitle(document_.documentPath);
        if (hooks_.projectReplaced)
            hooks_.projectReplaced();
        return false;
    }
    ensureSession();
    library_.ValidateTemplateSelection(document_.settings(), layers_);
    document_.setEditingAllowed(true);
    operations_.selectionChanged(&document_.tree().root());
    document_.updateTitle(path);
    if (hooks_.projectReplaced)
        hooks_.projectReplaced();
    return true;
}

void ProjectCommands::ensureSession()
{
    ProjectTree& tree = document_.tree();
    if (!tree.sessions().empty())
        return;
    // A file whose records were cut short may bring no session at all: the
    // project gets the one session with one empty slide that every project
    // starts with, so the tree can be worked on.
    const bool wasDirty = document_.dirty();
    document_.setBusy(true);
    tree.setPendingItem(&tree.root());
    operations_.AddItem();
    document_.setBusy(false);
    document_.setDirty(wasDirty);
    operations_.selectionChanged(&tree.root());
}

bool ProjectCommands::NewProject()
{
    stopPlayback();
    if (!askToSave(str::SaveBeforeNew))
        return false;
    document_.settings().reset();
    document_.workingFolder().reset();
    if (hooks_.chooseNewProjectTemplate)
        hooks_.chooseNewProjectTemplate();
    library_.ReadLayoutLayers(document_.settings().layoutNumber, layers_);

    document_.setBusy(true);
    document_.tree().removeAllSessions();
    document_.setBusy(false);
    ensureSession();
    operations_.selectionChanged(&document_.tree().root());

    document_.documentPath.clear();
    document_.setDirty(false);
    document_.updateTitle({});
    if (hooks_.projectReplaced)
        hooks_.projectReplaced();
    return true;
}

bool ProjectCommands::canClose()
{
    if (!document_.dirty())
        return true;
    switch (document_.message(StringTable::text(str::SaveBeforeOpening), Buttons::YesNoCancel)) {
    case Answer::Yes:
        finishVoicePage();
        return SaveCommand(false);
    case Answer::No:
        return true;
    default:
        finishVoicePage();
        return false;
    }
}

} // namespace pavonia
