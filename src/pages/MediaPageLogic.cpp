#include "pages/MediaPageLogic.h"

#include "platform/StringTable.h"
#include "platform/Text.h"
#include "templates/StylePageLogic.h"

#include <algorithm>
#include <filesystem>

namespace pavonia {

namespace {

// The element that shows an address over the description area.
constexpr const char* kUrlFrame = "<IFRAME ID=IFrame1 FRAMEBORDER=0 SCROLLING=Yes style='left:%d; top:%d; "
                                  "height:%d; width:%d;' SRC='%s'></IFRAME>";

std::string extensionLower(const std::string& path)
{
    return toLowerAscii(extensionOf(path));
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

bool isMediaPicture(const std::string& path)
{
    const std::string ext = extensionLower(path);
    return ext == "gif" || ext == "jpg" || ext == "jpeg" || ext == "bmp" || ext == "png";
}

std::string mediaPicture(const std::string& mediaPath, const std::string& installationFolder)
{
    if (isMediaPicture(mediaPath))
        return mediaPath;
    const std::string ext = extensionLower(mediaPath);
    if (ext == "swf" || ext == "wmv" || ext == "mp4" || ext == "webm")
        return installationFolder + ext + "_logo.bmp";
    if (ext == "rm" || ext == "ram")
        return installationFolder + "rm_logo.bmp";
    return {};
}

std::string mediaPreviewPicture(const std::string& mediaPath, const std::string& installationFolder)
{
    if (isMediaPicture(mediaPath)) {
        std::error_code error;
        return std::filesystem::is_regular_file(mediaPath, error) ? mediaPath : std::string();
    }
    return mediaPicture(mediaPath, installationFolder);
}

std::string cleanUrl(const std::string& text)
{
    std::string url = trimmed(text);
    url.erase(std::remove_if(url.begin(), url.end(), [](char c) { return c == '"' || c == '\''; }), url.end());
    if (!equalsIgnoreCase(std::string_view(url).substr(0, 7), "http://"))
        url = "http://" + url;
    url = replaceAll(std::move(url), "\\", "/");
    return replaceAll(std::move(url), " ", "%20");
}

std::string urlFrameDescription(const std::string& url, const LayerRect& area)
{
    return fillArguments(kUrlFrame, {std::to_string(area.left), std::to_string(area.top),
                                     std::to_string(area.height), std::to_string(area.width), url});
}

MediaPageLogic::MediaPageLogic(ProjectDocument& document, const TemplateLibrary& library, const LayoutLayers& layers,
                               Shell& shell)
    : document_(document), library_(library), layers_(layers), shell_(shell)
{
    mediaDialog_ = [this](const FileDialogOptions& options) -> std::optional<std::string> {
        auto paths = document_.ui().openFileDialog(options);
        if (!paths || paths->empty())
            return std::nullopt;
        return paths->front();
    };
}

bool MediaPageLogic::initialise()
{
    ViewChange change(*this);
    const TransitionList list(document_.installationFolder());
    auto entries = list.read();
    if (!entries) {
        transitions_.clear();
        showMessage(document_.ui(), list.lostMessage());
        return false;
    }
    transitions_ = std::move(*entries);
    return true;
}

void MediaPageLogic::showSlide(TreeItem* item)
{
    if (!item || !item->slide())
        return;
    ViewChange change(*this);
    item_ = item;
    const SlideData& data = *item->slide();
    subTopic_ = data.subTopic;
    description_ = data.description;
    delay_.show(data.delay);
    selectTransitionFor(data);
    showMedia();
}

void MediaPageLogic::clearSlide()
{
    ViewChange change(*this);
    item_ = nullptr;
    subTopic_.clear();
    description_.clear();
    delay_ = DelayField();
    preview_.clear();
    mediaFolder_.clear();
    mediaName_.clear();
}

void MediaPageLogic::selectTransitionFor(const SlideData& data)
{
    const int count = static_cast<int>(transitions_.size());
    if (count == 0) {
        selectedTransition_ = -1;
        transitionEnabled_ = data.mediaPath.empty() || isMediaPicture(data.mediaPath);
        return;
    }
    if (data.mediaPath.empty()) {
        selectedTransition_ = std::clamp(data.transition + 1, 0, count - 1);
        transitionEnabled_ = true;
    } else if (isMediaPicture(data.mediaPath)) {
        const auto match = std::find_if(transitions_.begin(), transitions_.end(),
                                        [&](const TransitionEntry& e) { return e.value == data.transition; });
        selectedTransition_ = match == transitions_.end() ? 0 : static_cast<int>(match - transitions_.begin());
        transitionEnabled_ = true;
    } else {
        selectedTransition_ = 0;
        transitionEnabled_ = false;
    }
}

SlideData* MediaPageLogic::slide() const
{
    if (!item_)
        return nullptr;
    // Compared by address only: a removed item must not be looked into.
    const std::vector<TreeItem*> slides = document_.tree().allSlides();
    return std::find(slides.begin(), slides.end(), item_) != slides.end() ? item_->slide() : nullptr;
}

void MediaPageLogic::showMedia()
{
    const SlideData* data = slide();
    const std::string path = data ? data->mediaPath : std::string();
    mediaFolder_ = folderOf(path);
    mediaName_ = finalComponent(path);
    preview_ = mediaPreviewPicture(path, document_.installationFolder());
}

void MediaPageLogic::slideEdited()
{
    slide()->hasContent = 1;
    document_.setDirty(true);
}

void MediaPageLogic::editSubTopic(const std::string& text)
{
    if (!slide())
        return;
    ViewChange change(*this);
    subTopic_ = text;
    slide()->subTopic = text;
    document_.tree().setText(*item_, text);
    slideEdited();
}

void MediaPageLogic::editDescription(const std::string& text)
{
    if (!slide())
        return;
    ViewChange change(*this);
    description_ = text;
    slide()->description = text;
    slideEdited();
}

void MediaPageLogic::editDelay(const std::string& text)
{
    if (!slide())
        return;
    ViewChange change(*this);
    if (delay_.edit(text, document_.ui()) == DelayField::Edit::Taken) {
        slide()->delay = SlideData::clampedDelay(delay_.value());
        slideEdited();
    }
}

void MediaPageLogic::leaveDelay()
{
    if (!slide())
        return;
    ViewChange change(*this);
    const bool empty = delay_.text().empty();
    delay_.leave(document_.preferences().delay());
    // An emptied field takes the default delay, which the slide then keeps.
    if (empty) {
        slide()->delay = SlideData::clampedDelay(delay_.value());
        slideEdited();
    }
}

void MediaPageLogic::selectTransition(int position)
{
    if (!slide() || position < 0 || position >= static_cast<int>(transitions_.size()))
        return;
    ViewChange change(*this);
    selectedTransition_ = position;
    slide()->transition = transitions_[static_cast<std::size_t>(position)].value;
    slideEdited();
}

FileDialogOptions MediaPageLogic::mediaDialogOptions()
{
    const bool clip = document_.lastImportKind == slot::MediaClip;
    FileDialogOptions options;
    options.title = StringTable::text(str::MediaDialogTitle);
    options.filter = StringTable::text(str::MediaFileFilter);
    options.mustExist = true;
    options.initialFilter = clip ? 2 : 1;
    options.startFolder = document_.folderMemory().get(clip ? slot::MediaClip : slot::MediaPicture);
    return options;
}

void MediaPageLogic::chooseMedia()
{
    if (!slide())
        return;
    if (const std::optional<std::string> path = mediaDialog_(mediaDialogOptions()))
        takeMedia(*path);
}

bool MediaPageLogic::takeMedia(const std::string& path)
{
    if (!slide())
        return false;
    ViewChange change(*this);
    const std::string extension = "." + extensionLower(path);
    if (extension == "." || StringTable::text(str::MediaFileFilter).find(extension) == std::string::npos) {
        showMessage(document_.ui(), StringTable::format(str::UnsupportedFileFormat, {path}));
        return false;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        showMessage(document_.ui(), StringTable::format(str::OpenMediaError, {path}));
        return false;
    }
    const bool picture = isMediaPicture(path);

    // The new copy is made before the old one is let go: a slide whose media
    // is chosen again, or whose source is its own working copy, keeps a file.
    WorkingFolder& folder = document_.workingFolder();
    folder.takeCopyFailure(); // a failure of some earlier copy is not this one's
    const std::string copy = folder.mediaCopy(path);
    const std::optional<Failure> failure = folder.takeCopyFailure();
    if (copy.empty() || failure) {
        if (!copy.empty()) {
            SlideData unused;
            unused.mediaPath = copy;
            folder.releaseSlide(unused);
        }
        if (failure)
            showFailure(document_.ui(), *failure);
        else
            showMessage(document_.ui(), StringTable::format(str::OpenMediaError, {path}));
        return false;
    }
    const int kind = picture ? slot::MediaPicture : slot::MediaClip;
    document_.folderMemory().set(kind, folderOf(path));
    document_.lastImportKind = kind;

    SlideData& data = *slide();
    folder.releaseSlide(data);
    data.mediaPath = copy;
    data.mediaSourcePath = path;
    transitionEnabled_ = picture;
    if (!picture && !transitions_.empty())
        selectedTransition_ = 0;
    slideEdited();
    showMedia();
    return true;
}

void MediaPageLogic::openMedia()
{
    if (!slide() || mediaName_.empty())
        return;
    const std::string path = mediaFolder_ + mediaName_;
    if (!shell_.open(path))
        showMessage(document_.ui(), StringTable::format(str::OpenMediaError, {path}));
}

void MediaPageLogic::linkUrl()
{
    if (!slide() || !urlDialog_)
        return;
    if (const std::optional<std::string> text = urlDialog_())
        applyUrl(*text);
}

void MediaPageLogic::openUrl(const std::string& text)
{
    shell_.open(cleanUrl(text));
}

void MediaPageLogic::applyUrl(const std::string& text)
{
    if (!slide())
        return;
    ViewChange change(*this);
    if (!slide()->description.empty() &&
        showMessage(document_.ui(), StringTable::text(str::ReplaceDescription), Buttons::OkCancel) != Answer::Ok)
        return;
    const LayerRect area = DescriptionAreaRect(library_, document_.settings(), document_.ui());
    description_ = urlFrameDescription(cleanUrl(text), area);
    slide()->description = description_;
    slideEdited();
}

} // namespace pavonia
