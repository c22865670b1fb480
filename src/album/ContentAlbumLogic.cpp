#include "album/ContentAlbumLogic.h"

#include "album/AlbumDescription.h"
#include "platform/IniFile.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavonia {

namespace {

// Opens `path` for reading and closes it again: 0 when it is a file that can
// be read, otherwise the system's error. A folder is no file to return.
int openForReading(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno ? errno : EIO;
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno ? errno : EIO;
    else if (!S_ISREG(info.st_mode))
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return error;
}

} // namespace

ContentAlbumLogic::ContentAlbumLogic(std::string installationFolder, AlbumKind kind, const Registry& registry,
                                     Shell& shell, Ui& ui, std::string startFolder, std::string startString)
    : installationFolder_(std::move(installationFolder)),
      kind_(kind),
      registry_(registry),
      shell_(shell),
      ui_(ui),
      startFolder_(std::move(startFolder)),
      startString_(std::move(startString))
{
}

std::string ContentAlbumLogic::contentFolder() const { return installationFolder_ + "Content/"; }

std::string ContentAlbumLogic::rootIndexPath(const Registry& registry, AlbumKind kind)
{
    const std::string key = "Software\\" + StringTable::text(str::MakerName) + "\\" +
                            StringTable::text(str::ProductName) + "\\" + StringTable::text(str::ProductVersion);
    std::string folder = registry.value(RegistryRoot::LocalMachine, key, "QB_Path");
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder + (kind == AlbumKind::Messages ? "tps/root.ini" : "tjm/root.ini");
}

AlbumSetup ContentAlbumLogic::setup() const
{
    AlbumSetup setup;
    setup.resourceLibrary = installationFolder_ + "QBPVResource.dll";
    setup.descriptionName = kAlbumDescriptionName;
    setup.thumbnailExtension = ".bmp";
    setup.contentFolder = contentFolder();
    setup.rootIndex = rootIndexPath(registry_, kind_);
    setup.kind = kind_;
    setup.background = contentFolder() + "album-bg-r.bmp";
    if (!startFolder_.empty() && !startString_.empty())
        setup.start = std::pair(startFolder_, startString_);
    return setup;
}

void ContentAlbumLogic::open(AlbumControl* album, MessagePreview& preview)
{
    const ViewChange change(*this);
    album_ = album;
    preview_ = &preview;
    name_.clear();
    okEnabled_ = false;
    previewChecked_ = true;
    preview_->stopPreview();
}

std::string ContentAlbumLogic::caption() const { return StringTable::text(str::AlbumCaption); }

std::string ContentAlbumLogic::typeEntry() const
{
    return StringTable::text(kind_ == AlbumKind::Images ? str::AlbumImageFiles : str::AlbumMessageFiles);
}

void ContentAlbumLogic::selectionChanged(const std::string& path)
{
    if (closing_)
        return;
    takeSelection(path);
}

void ContentAlbumLogic::takeSelection(const std::string& path)
{
    const ViewChange change(*this);
    if (!album_ || album_->selectionIsNotFile() || path.empty()) {
        okEnabled_ = false;
        name_.clear();
        return;
    }
    name_ = finalComponent(path);
    okEnabled_ = true;
    fileChosen_ = true;
    refreshPreview();
}

void ContentAlbumLogic::refreshPreview()
{
    // Only a talking message has anything to play.
    if (!preview_ || !album_ || kind_ != AlbumKind::Messages)
        return;
    if (previewChecked_)
        preview_->startPreview();
    else
        preview_->stopPreview();
    preview_->loadTps(album_->selectedPath());
}

bool ContentAlbumLogic::itemActivated(const std::string& path)
{
    if (closing_)
        return false;
    closing_ = true;
    takeSelection(path);
    return true;
}

bool ContentAlbumLogic::addFromWeb()
{
    if (closing_)
        return false;
    closing_ = true;
    const std::string link =
        installationFolder_ + (kind_ == AlbumKind::Messages ? "Quibbit_TPS.url" : "Quibbit_TJM.url");
    const std::string address = IniFile(link).readText("InternetShortcut", "URL", "");
    if (address.empty() || !shell_.open(address))
        showMessage(ui_, StringTable::format(str::LinkFileMissing, {link}));
    return true;
}

void ContentAlbumLogic::editName(const std::string& text)
{
    const ViewChange change(*this);
    name_ = text;
    okEnabled_ = true;
}

void ContentAlbumLogic::setPreviewChecked(bool checked)
{
    const ViewChange change(*this);
    previewChecked_ = checked;
    if (fileChosen_ && album_ && !album_->selectionIsNotFile())
        refreshPreview();
}

bool ContentAlbumLogic::ok()
{
    if (!album_)
        return true;
    if (name_.find('\\') != std::string::npos || name_.find('/') != std::string::npos) {
        // Stays open; an activation that led here may be followed by another.
        closing_ = false;
        return false;
    }
    const std::size_t dot = name_.find('.');
    const std::string path =
        album_->currentFolder() + "/" + (dot == std::string::npos ? name_ : name_.substr(0, dot)) + albumExtension(kind_);
    if (const int error = openForReading(path); error != 0) {
        album_->cannotOpen(path, error);
        closing_ = false;
        return false;
    }
    result_ = path;
    return true;
}

void ContentAlbumLogic::close()
{
    if (preview_)
        preview_->stopPreview();
}

} // namespace pavonia
