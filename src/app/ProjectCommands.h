#pragma once
// The project commands of the main window: New, Open, opening a given file,
// Save, Save As and the check before the window closes, with the questions
// about unsaved changes, the project file dialogs (their filter, folder
// memory slot and extension check) and the window title. Nothing here shows
// a widget: prompts go through the document's Ui, and the window hands in
// what only it can do through the hooks.
#include "project/ProjectDocument.h"
#include "project/TreeOperations.h"
#include "templates/LayoutLayers.h"
#include "templates/TemplateLibrary.h"

#include <functional>
#include <string>

namespace pavonia {

class ProjectCommands {
public:
    struct Hooks {
        // Stops voice playback of the slide voice page.
        std::function<void()> stopPlayback;
        // The start-up dialog flow for a new project: the user picks a
        // template or a custom style, which sets the resolution key, the
        // style and layout numbers and the behaviour switches.
        std::function<void()> chooseNewProjectTemplate;
        // The slide voice page finishes a pending recording or message before
        // the window decides whether to close.
        std::function<void()> finishVoicePage;
        // Runs long work (loading or saving a file) and returns its result;
        // the window shows progress and keeps painting. `saving` tells which.
        // Without a hook the work runs at once under a wait cursor.
        std::function<bool(bool saving, const std::string& path, const std::function<bool()>& work)> runLong;
        // A new project stands or a file was opened: the window selects the
        // root, refreshes its views and fills the heading field.
        std::function<void()> projectReplaced;
    };

    ProjectCommands(ProjectDocument& document, TreeOperations& operations, TemplateLibrary& library,
                    LayoutLayers& layers);

    Hooks& hooks() { return hooks_; }

    // True when a new project stands.
    bool NewProject();
    // Shows the Open dialog; true when a file was opened.
    bool OpenProject();
    // Opens `path` as the project (command line, second instance, Open).
    bool OpenProjectFile(const std::string& path);
    // True when the project is saved, or nothing needed saving; `force`
    // saves an unchanged project too.
    bool SaveCommand(bool force);
    // The Save and Save As commands.
    bool Save();
    bool SaveAs();
    // Whether the main window may close: asks about unsaved changes first.
    bool canClose();

    bool saveAsRequested() const { return saveAsRequested_; }

private:
    // Asks about unsaved changes with message `textId` when the project is
    // dirty; false when the command stops there.
    bool askToSave(int textId);
    // Gives a tree without sessions its first session with one slide.
    void ensureSession();
    FileDialogOptions projectDialog() const;
    // False after message 61362 when `path` does not end in ".pvp".
    bool checkExtension(const std::string& path);
    void rememberFolder(const std::string& path);
    bool runLong(bool saving, const std::string& path, const std::function<bool()>& work);
    void stopPlayback();
    void finishVoicePage();

    ProjectDocument& document_;
    TreeOperations& operations_;
    TemplateLibrary& library_;
    LayoutLayers& layers_;
    Hooks hooks_;
    bool saveAsRequested_ = false;
};

} // namespace pavonia
