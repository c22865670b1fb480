#pragma once
// The export command: the open project as a web folder (a page T.htm and a
// folder T/ with its files), as a CD folder (the same, plus the files of the
// installation's "AutoRun" folder and an "autorun.ini"), or as one
// self-running executable (the stub "pkseed.exe" followed by a pack of every
// published file and the player "pvplayer.exe"). The project is published
// into a fresh temporary folder, which is then moved, completed or packed,
// the total size is reported and the temporary folder removed.
//
// No widgets here: the export dialog, the save-file dialog and the progress
// display are handed in, so the program and the command line run the same
// code.
#include "export/PackWriter.h"
#include "export/video/VideoExport.h"
#include "publish/Publisher.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pavonia {

enum class ExportKind { Web = 0, Cd = 1, Exe = 2, Video = 3 }; // "ExportType"

// What the export dialog chooses.
struct ExportChoice {
    ExportKind kind = ExportKind::Web;
    bool includeAutoRun = true;
    ExportQualities qualities;
};

// What the user chose before anything is written.
struct ExportRequest {
    ExportChoice choice;
    std::string outputPath;
};

struct ExportProgress {
    enum class Phase { Publishing, Copying, Packing };
    Phase phase = Phase::Publishing;
    std::uint64_t done = 0;  // bytes (files while publishing)
    std::uint64_t total = 0; // bytes (files while publishing); 0 while unknown
};

struct ExportContext {
    explicit ExportContext(PublishContext publish) : publish(std::move(publish)) {}

    PublishContext publish;
    // The export dialog, opened with the stored choice: the user's choice,
    // or nothing when cancelled. Without one the stored choice is used, as
    // when the dialog is switched off.
    std::function<std::optional<ExportChoice>(const ExportChoice&)> dialog;
    // Saves the modified project under a name the user confirms (the Save
    // command run with no project path); false when not saved.
    std::function<bool()> save;
    // Told how far the export is; false cancels it: publishing between any
    // two files, the web and CD copies between any two files (nothing is
    // left in the output folder), the packing between any two blocks.
    std::function<bool(const ExportProgress&)> progress;
    // Told how far a video export is (the picture or frame being made, the
    // time left); false cancels it, leaving no file.
    std::function<bool(const VideoProgress&)> videoProgress;
    // Shows the size message; without one it goes to a message box.
    std::function<void(const std::string&)> showSize;
};

class ExportPresentation {
public:
    static constexpr const char* kAutoRunFolder = "AutoRun";
    static constexpr const char* kStub = "pkseed.exe";
    static constexpr const char* kPlayer = "pvplayer.exe";
    static constexpr const char* kWorkPack = "__pvpack.pok";

    explicit ExportPresentation(ExportContext context);

    // The whole command: saves a modified project first, asks for the kind
    // (unless the dialog is switched off) and for the output path, and
    // exports. False when cancelled or when the export failed (the user has
    // been told why).
    bool run();
    // The part of the command that asks: saves a modified project, shows
    // the dialog and the save-file dialog. Nothing when the user cancelled
    // or the save failed; exportTo() then does the work, so that a program
    // can run it off its interface thread.
    std::optional<ExportRequest> ask();

    // The export itself, from the path the user picked on.
    bool exportTo(const ExportChoice& choice, const std::string& outputPath);

    // The qualities the last export used; they start at sound 2 ("Middle")
    // and image 80, and only the dialog changes them.
    const ExportQualities& qualities() const { return qualities_; }
    // The size the last successful export reported.
    std::uint64_t totalSize() const { return total_; }

    // "Total exported file size is %u KB ( %u bytes).": the KB are the bytes
    // shifted right by 10.
    static std::string sizeMessage(std::uint64_t total);
    // The bytes of "autorun.ini" for the page `pageName`.
    static std::string autorunIni(const std::string& pageName);

private:
    bool publish(const ExportChoice& choice, const std::string& prefix, std::string& folder);
    bool exportFolder(const ExportChoice& choice, const std::string& outputPath, const std::string& published);
    // False after a message when a file cannot be written.
    bool addAutoRun(bool includeAutoRun, const std::string& folder, const std::string& pageName);
    bool exportExecutable(const std::string& outputPath, const std::string& published);
    bool exportVideo(const std::string& outputPath);
    bool packFailed(PackWriter& writer, const Failure& failure);
    bool report(ExportProgress::Phase phase, std::uint64_t done, std::uint64_t total);
    void show(const std::string& text);

    ExportContext context_;
    ExportQualities qualities_;
    std::uint64_t total_ = 0;
};

} // namespace pavonia
