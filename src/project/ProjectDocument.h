#pragma once
// The open project: its settings, tree, working copies and the state that
// tells the editing pane and the commands what to do. Owns everything for the
// life of the project; the installation folder, system temp folder, clock,
// registry and prompts are handed in.
#include "platform/Clock.h"
#include "platform/Registry.h"
#include "platform/Ui.h"
#include "project/DocumentObserver.h"
#include "project/FolderMemory.h"
#include "project/Preferences.h"
#include "project/ProjectTree.h"
#include "project/Records.h"
#include "project/SvMngr.h"
#include "project/WorkingFolder.h"

#include <string>
#include <vector>

namespace pavonia {

enum class SelectedKind { Project = 0, Information = 1, Session = 2, Slide = 3 };

struct DocumentEnvironment {
    std::string installationFolder; // with a trailing "/"
    std::string systemTempFolder;   // with a trailing "/"
    Ui& ui;
    const Clock& clock;
    const Registry& registry;
    // The process's own working folder, holding its "Temp", and the working
    // area, holding "User" (see WorkingFolder); each with a trailing "/",
    // or empty for the installation folder.
    std::string ownFolder = {};
    std::string workingArea = {};
    // Where the user's settings files lie (the preference file, the voice
    // templates), with a trailing "/"; empty for the installation folder.
    std::string settingsFolder = {};
};

class ProjectDocument {
public:
    explicit ProjectDocument(const DocumentEnvironment& environment);

    ProjectSettings& settings() { return settings_; }
    const ProjectSettings& settings() const { return settings_; }
    ProjectTree& tree() { return tree_; }
    const ProjectTree& tree() const { return tree_; }
    WorkingFolder& workingFolder() { return workingFolder_; }
    SvMngr& svMngr() { return svMngr_; }
    Preferences& preferences() { return preferences_; }
    FolderMemory& folderMemory() { return folderMemory_; }
    Ui& ui() { return ui_; }
    const Clock& clock() const { return clock_; }
    CRandom& random() { return random_; }

    const std::string& installationFolder() const { return installationFolder_; }
    // The folder of the preference file and the voice templates
    // ("voicefilter.ini"): the installation folder, or the user's own
    // settings folder when the installation cannot be written.
    const std::string& settingsFolder() const { return settingsFolder_; }
    const std::string& systemTempFolder() const { return systemTempFolder_; }
    const std::string& packTempPath() const { return packTempPath_; }

    // Shows a message box captioned with the application title.
    Answer message(const std::string& text, Buttons buttons = Buttons::Ok);

    std::string documentPath;
    // Set by a load that found the file damaged or cut short, until the
    // project is saved: saving over that file would make the loss permanent,
    // so the commands that would do so ask first (or refuse).
    bool loadedDamaged = false;
    SelectedKind selectedKind = SelectedKind::Project;
    // The kind of the last media import, as its folder memory slot
    // (slot::MediaPicture, slot::MediaClip or slot::PowerPoint): the file
    // dialog of the next import opens there, with that kind's filter first.
    int lastImportKind = slot::MediaPicture;

    // The state the window and the commands follow; each change is told to
    // the observers.
    // The project differs from its file.
    bool dirty() const { return dirty_; }
    void setDirty(bool dirty);
    // Set while the tree is rebuilt (New, opening a file): a selection change
    // is then not handed to the editing pages.
    bool busy() const { return busy_; }
    void setBusy(bool busy);
    // The command flags: editing allowed (cleared while the slide voice page
    // records or edits voice), Import Talking Message and Wave, Import
    // Talking Image.
    bool editingAllowed() const { return editingAllowed_; }
    void setEditingAllowed(bool allowed);
    bool voiceImportAllowed() const { return voiceImportAllowed_; }
    void setVoiceImportAllowed(bool allowed);
    bool imageImportAllowed() const { return imageImportAllowed_; }
    void setImageImportAllowed(bool allowed);
    const std::string& windowTitle() const { return windowTitle_; }
    // Sets the title from a project path ("Pavonia - name.pvp"), or to
    // "Pavonia" when `path` is empty.
    void updateTitle(const std::string& path);

    void addObserver(DocumentObserver* observer);
    void removeObserver(DocumentObserver* observer);

private:
    void setCommandFlag(bool& flag, bool value);

    std::string installationFolder_;
    std::string settingsFolder_;
    std::string systemTempFolder_;
    std::string packTempPath_;
    Ui& ui_;
    const Clock& clock_;
    CRandom random_;
    ProjectSettings settings_;
    ProjectTree tree_;
    Preferences preferences_;
    FolderMemory folderMemory_;
    WorkingFolder workingFolder_;
    SvMngr svMngr_;
    bool dirty_ = false;
    bool busy_ = false;
    bool editingAllowed_ = true;
    bool voiceImportAllowed_ = false;
    bool imageImportAllowed_ = false;
    std::string windowTitle_;
    std::vector<DocumentObserver*> observers_;
};

} // namespace pavonia
