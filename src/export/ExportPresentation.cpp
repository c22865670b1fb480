#include "export/ExportPresentation.h"

#include "export/ExportDlgLogic.h"
#include "platform/FileOps.h"
#include "platform/Folders.h"
#include "platform/StringTable.h"
#include "platform/SystemFolders.h"
#include "platform/Text.h"
#include "platform/Ui.h"
#include "project/FolderMemory.h"
#include "templates/ReadLayerRect.h"
#include "platform/UniqueTempFolder.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace pavonia {

namespace {

constexpr const char* kPublishedPage = "Template.htm";

// The regular files under `folder`, as paths relative to it with "/",
// sorted, so that every export of the same files packs them alike.
std::vector<std::string> filesUnder(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec))
            files.push_back(fs::relative(it->path(), folder, ec).generic_string());
    std::sort(files.begin(), files.end());
    return files;
}

std::uint64_t sizeOfFiles(const std::string& folder)
{
    std::uint64_t total = 0;
    std::error_code ec;
    for (const std::string& file : filesUnder(folder)) {
        const auto size = fs::file_size(folder + file, ec);
        if (!ec)
            total += size;
    }
    return total;
}

// A folder beside the export's target ("F/.T.export-N/") that the copies go
// into first; moveInto() puts its contents in place, replacing files of the
// same name, and whatever is still in it goes with it.
class StagingFolder {
public:
    StagingFolder(const std::string& folder, const std::string& name)
    {
        // The output folder is made as needed, as the copies always did.
        if (!folders::createPath(folder))
            return;
        for (int n = 0; n < 1000 && path_.empty(); ++n) {
            const std::string candidate = folder + "." + name + ".export-" + std::to_string(n) + "/";
            if (::mkdir(candidate.c_str(), 0755) == 0)
                path_ = candidate;
            else if (errno != EEXIST)
                break;
        }
    }
    ~StagingFolder()
    {
        std::error_code ec;
        if (!path_.empty())
            fs::remove_all(path_, ec);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    bool created() const { return !path_.empty(); }
    const std::string& path() const { return path_; }

    // Moves every file of the staging folder to the same place under
    // `folder`; a folder that does not stand there yet moves whole.
    bool moveInto(const std::string& folder) const { return moveTree(path_, folder); }

private:
    static bool moveTree(const fs::path& from, const fs::path& to)
    {
        std::error_code ec;
        for (const fs::directory_entry& entry : folders::entriesOf(from)) {
            const fs::path target = to / entry.path().filename();
            if (folders::isRealFolder(entry)) {
                if (!fs::exists(fs::symlink_status(target, ec))) {
                    fs::rename(entry.path(), target, ec);
                    if (ec)
                        return errno = ec.value(), false;
                    continue;
                }
                if (!fs::is_directory(fs::symlink_status(target, ec)))
                    return errno = ENOTDIR, false;
                if (!moveTree(entry.path(), target))
                    return false;
                continue;
            }
            fs::rename(entry.path(), target, ec);
            if (ec)
                return errno = ec.value(), false;
        }
        return true;
    }

    std::string path_;
};

} // namespace

ExportPresentation::ExportPresentation(ExportContext context)
    : context_(std::move(context)), qualities_(context_.publish.qualities)
{
}

std::string ExportPresentation::sizeMessage(std::uint64_t total)
{
    return StringTable::format(str::ExportTotalSize, {std::to_string(total >> 10), std::to_string(total)});
}

std::string ExportPresentation::autorunIni(const std::string& pageName)
{
    return StringTable::format(str::ExportAutoRunIni, {pageName});
}

void ExportPresentation::show(const std::string& text)
{
    context_.publish.document.message(text);
}

bool ExportPresentation::report(ExportProgress::Phase phase, std::uint64_t done, std::uint64_t total)
{
    return !context_.progress || context_.progress(ExportProgress{phase, done, total});
}

bool ExportPresentation::run()
{
    const std::optional<ExportRequest> request = ask();
    return request && exportTo(request->choice, request->outputPath);
}

std::optional<ExportRequest> ExportPresentation::ask()
{
    ProjectDocument& document = context_.publish.document;
    BusyCursor busy(document.ui());
    if (context_.publish.stopPlayback)
        context_.publish.stopPlayback();

    // A modified project is saved under a name the user confirms first.
    if (document.dirty()) {
        const std::string kept = document.documentPath;
        document.documentPath.clear();
        if (!context_.save || !context_.save()) {
            document.documentPath = kept;
            return std::nullopt;
        }
    }

    Preferences& preferences = document.preferences();
    qualities_.image = 80;
    ExportChoice choice;
    // A stored kind the program does not offer exports for the web.
    const int storedKind = preferences.exportType();
    choice.kind = std::any_of(exportKinds().begin(), exportKinds().end(),
                              [&](const ExportKindEntry& entry) { return static_cast<int>(entry.kind) == storedKind; })
                      ? static_cast<ExportKind>(storedKind)
                      : ExportKind::Web;
    choice.includeAutoRun = preferences.includeAutoRun() != 0;
    choice.qualities = qualities_;
    if (preferences.showExportDlg() != 0 && context_.dialog) {
        const auto chosen = context_.dialog(choice);
        if (!chosen)
            return std::nullopt;
        choice = *chosen;
    }

    const bool exe = choice.kind == ExportKind::Exe;
    const bool video = choice.kind == ExportKind::Video;
    const int slot = exe ? slot::Program : slot::Html;
    FileDialogOptions options;
    options.filter = StringTable::text(exe ? str::ExportExeFilter : video ? str::VideoFilter : str::ExportWebFilter);
    options.defaultExtension = exe ? "exe" : video ? "mp4" : "htm";
    options.overwritePrompt = true;
    options.startFolder = document.folderMemory().get(slot);
    const auto picked = document.ui().saveFileDialog(options);
    if (!picked)
        return std::nullopt;
    return ExportRequest{choice, *picked};
}

bool ExportPresentation::exportVideo(const std::string& outputPath)
{
    ProjectDocument& document = context_.publish.document;
    if (!equalsIgnoreCase(extensionOf(outputPath), "mp4")) {
        show(StringTable::format(str::UnsupportedFileFormat, {outputPath}));
        return false;
    }
    document.folderMemory().set(slot::Html, folderOf(outputPath));
    const Result<std::uint64_t> written = VideoExport(context_.publish, VideoOptions{}, context_.videoProgress).exportTo(outputPath);
    if (!written) {
        // A cancel is the user's own doing: nothing more to say.
        if (written.failure().message != str::VideoCancelled)
            showFailure(document.ui(), written.failure());
        return false;
    }
    total_ = *written;
    if (context_.showSize)
        context_.showSize(sizeMessage(total_));
    else
        show(sizeMessage(total_));
    return true;
}

bool ExportPresentation::exportTo(const ExportChoice& choice, const std::string& outputPath)
{
    ProjectDocument& document = context_.publish.document;
    BusyCursor busy(document.ui());
    qualities_ = choice.qualities;
    if (choice.kind == ExportKind::Video)
        return exportVideo(outputPath);
    const bool exe = choice.kind == ExportKind::Exe;
    if (!equalsIgnoreCase(extensionOf(outputPath), exe ? "exe" : "htm")) {
        show(StringTable::format(str::UnsupportedFileFormat, {outputPath}));
        return false;
    }
    document.folderMemory().set(exe ? slot::Program : slot::Html, folderOf(outputPath));

    // The web and CD pages refer to their files through the folder T/.
    const std::string prefix = baseNameOf(outputPath);
    std::string published;
    if (!publish(choice, exe ? std::string() : prefix, published))
        return false;
    total_ = sizeOfFiles(published);

    bool done;
    if (!report(ExportProgress::Phase::Copying, 0, total_))
        done = false;
    else if (exe)
        done = exportExecutable(outputPath, published);
    else
        done = exportFolder(choice, outputPath, published);
    if (done && context_.showSize)
        context_.showSize(sizeMessage(total_));
    else if (done)
        show(sizeMessage(total_));
    deleteUniqueTempFolder(published, document.systemTempFolder());
    return done;
}

bool ExportPresentation::publish(const ExportChoice& choice, const std::string& prefix, std::string& folder)
{
    if (!report(ExportProgress::Phase::Publishing, 0, 0))
        return false;
    PublishContext context = context_.publish;
    context.qualities = choice.qualities;
    context.progress = [this](std::size_t done, std::size_t total) {
        return report(ExportProgress::Phase::Publishing, done, total);
    };
    Publisher publisher(context);
    PublishRequest request;
    request.usePrefix = !prefix.empty();
    if (request.usePrefix)
        request.prefix = prefix;
    request.startAtFirstSlide = true;
    request.destination = &folder;
    if (publisher.PublishProject(request))
        return true;
    if (!folder.empty())
        deleteUniqueTempFolder(folder, context_.publish.document.systemTempFolder());
    return false;
}

bool ExportPresentation::exportFolder(const ExportChoice& choice, const std::string& outputPath,
                                      const std::string& published)
{
    const std::string folder = folderOf(outputPath);
    const std::string name = baseNameOf(outputPath);
    const std::string pageName = name + ".htm";
    // Everything published goes into T/, the page up beside it as T.htm;
    // first into a folder of the export's own beside them, so that a
    // cancelled or failed copy leaves nothing half-written in the user's
    // folder.
    StagingFolder staging(folder, name);
    const auto copyFailed = [&](int error) {
        show(StringTable::format(str::ExportCopyFailed, {folder, systemErrorText(error)}));
        return false;
    };
    if (!staging.created())
        return copyFailed(errno);
    const std::string files = staging.path() + name + "/";
    std::uint64_t copied = 0;
    std::error_code ec;
    for (const std::string& file : filesUnder(published)) {
        const std::string target = file == kPublishedPage ? staging.path() + pageName : files + file;
        fs::create_directories(fs::path(target).parent_path(), ec);
        if (!copyWholeFile(published + file, target))
            return copyFailed(errno);
        copied += fs::file_size(published + file, ec);
        if (!report(ExportProgress::Phase::Copying, copied, total_))
            return false;
    }
    if (!staging.moveInto(folder))
        return copyFailed(errno);
    if (choice.kind == ExportKind::Cd)
        return addAutoRun(choice.includeAutoRun, folder, pageName);
    return true;
}

bool ExportPresentation::addAutoRun(bool includeAutoRun, const std::string& folder, const std::string& pageName)
{
    const std::string autoRun = context_.publish.document.installationFolder() + kAutoRunFolder + "/";
    std::error_code ec;
    if (!fs::is_directory(autoRun, ec) || fs::is_empty(autoRun, ec)) {
        show(StringTable::text(str::ExportAutoRunMissing));
        return true;
    }
    const auto copyFailed = [&](int error) {
        show(StringTable::format(str::ExportCopyFailed, {folder, systemErrorText(error)}));
        return false;
    };
    const std::uint64_t autoRunSize = sizeOfFiles(autoRun);
    // Only the files lying directly in the folder are copied.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(autoRun, ec))
        if (entry.is_regular_file(ec))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return toLowerAscii(a) < toLowerAscii(b); });
    // Copies keep their permissions, so a launcher script stays runnable.
    for (const std::string& name : names)
        if (fs::copy_file(autoRun + name, folder + name, fs::copy_options::overwrite_existing, ec); ec)
            return copyFailed(ec.value());

    const std::string ini = autorunIni(pageName);
    if (!writeFileReplacing(folder + "autorun.ini", ini))
        return copyFailed(errno);
    total_ += ini.size() + autoRunSize;
    if (includeAutoRun)
        return true;
    // Without the autorun information the first such file of the AutoRun
    // folder goes again; a file of the user's that happens to lie in the
    // output folder is left alone.
    for (const std::string& name : names) {
        if (wildcardMatch("*.inf", name)) {
            const auto size = fs::file_size(folder + name, ec);
            if (!ec && fs::remove(folder + name, ec))
                total_ -= size;
            break;
        }
    }
    return true;
}

bool ExportPresentation::packFailed(PackWriter& writer, const Failure& failure)
{
    writer.discard();
    // A failure without a message is a cancelled export.
    if (failure.message != 0)
        show(failure.text());
    return false;
}

bool ExportPresentation::exportExecutable(const std::string& outputPath, const std::string& published)
{
    ProjectDocument& document = context_.publish.document;
    const std::string& installation = document.installationFolder();
    const std::string pageName = baseNameOf(outputPath) + ".htm";
    std::error_code ec;
    fs::rename(published + kPublishedPage, published + pageName, ec);

    // The work pack lies in a fresh folder of its own: a fixed name in the
    // shared temporary folder would collide with another export running at
    // the same time, or follow a link someone else left under that name.
    const std::string workFolder = makeUniqueTempFolder(document.systemTempFolder(), document.clock());
    if (workFolder.empty()) {
        show(StringTable::text(str::CreateTempDirectoryFailed));
        return false;
    }
    struct RemoveWorkFolder {
        const std::string& folder;
        const std::string& systemTemp;
        ~RemoveWorkFolder() { deleteUniqueTempFolder(folder, systemTemp); }
    } removeWorkFolder{workFolder, document.systemTempFolder()};
    PackWriter writer;
    const std::string work = workFolder + kWorkPack;
    if (Result<> created = writer.create(work); !created)
        return packFailed(writer, created.failure());
    // The player is packed with the page; without one the stub opens the
    // page in the browser.
    if (FileHandle::openRead(installation + kPlayer).valid() &&
        !copyIntoNewFile(installation + kPlayer, published + kPlayer, Creation::Replace)) {
        show(StringTable::format(str::ExportCopyFailed, {published, systemErrorText(errno)}));
        return packFailed(writer, Failure());
    }
    const std::vector<std::string> files = filesUnder(published);
    const std::uint64_t total = sizeOfFiles(published);
    std::uint64_t packed = 0;
    for (const std::string& file : files) {
        writer.setProgress([&](std::uint64_t bytes) { return report(ExportProgress::Phase::Packing, packed + bytes, total); });
        if (Result<> added = writer.addFile(published + file, published); !added)
            return packFailed(writer, added.failure());
        packed += fs::file_size(published + file, ec);
    }

    // The player opens the page in a window the size of its background layer.
    const auto layer = ReadLayerRect(published + pageName, PageLayer::Background, document.ui());
    const LayerRect rect = layer.value_or(LayerRect{});
    const std::string commandLine =
        pageName + " " + std::to_string(rect.width - rect.left) + " " + std::to_string(rect.height - rect.top);
    if (Result<> named = writer.setPlayer(kPlayer); !named)
        return packFailed(writer, named.failure());
    if (Result<> named = writer.setCommandLine(commandLine); !named)
        return packFailed(writer, named.failure());
    if (Result<> embedded = writer.embed(outputPath, installation + kStub, true); !embedded)
        return packFailed(writer, embedded.failure());
    (void)writer.close(); // the executable is in place already
    total_ = fs::file_size(outputPath, ec);
    return true;
}

} // namespace pavonia
