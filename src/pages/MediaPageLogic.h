#pragma once
// The media page: what the page shows when a slide is selected, and what its
// controls do to the slide. The sub-topic and description are stored in the
// slide on every edit, the delay on every edit that passes the delay field's
// checks, the transition on every selection, so leaving the page loses
// nothing typed. The media file is chosen through a file dialog (the picture
// dialog in the program), copied into the working folder and shared with
// every slide that uses the same source.
//
// A slide's media is a picture (gif, jpg, jpeg, bmp, png) or a clip (swf,
// wmv, rm, mp4, webm; "ram" names a clip too): a clip cannot take a
// transition, and its preview is a placeholder picture of the installation.
#include "pages/DelayField.h"
#include "platform/Shell.h"
#include "platform/ViewNotifier.h"
#include "project/ProjectDocument.h"
#include "templates/LayoutLayers.h"
#include "templates/ReadLayerRect.h"
#include "templates/TransitionList.h"

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace pavonia {

class TemplateLibrary;

// Whether a media file is a picture the page shows itself (by extension,
// without regard to case).
bool isMediaPicture(const std::string& path);
// The picture shown for `mediaPath`: the media itself when it is a picture,
// the clip kind's placeholder picture of `installationFolder`, or empty for
// nothing.
std::string mediaPicture(const std::string& mediaPath, const std::string& installationFolder);
// The picture a preview shows for `mediaPath`: the picture itself (when it
// exists), the clip kind's placeholder picture of `installationFolder`, or
// empty for nothing.
std::string mediaPreviewPicture(const std::string& mediaPath, const std::string& installationFolder);
// The URL typed into "Open Url", cleaned: blanks trimmed at both ends, every
// double and single quote removed, "http://" put in front unless it starts
// with it (any case), then every "\" made "/" and every blank "%20".
std::string cleanUrl(const std::string& text);
// The description that shows `url` in an inline frame over `area`.
std::string urlFrameDescription(const std::string& url, const LayerRect& area);

class MediaPageLogic : public ViewNotifier<MediaPageLogic> {
public:
    // The file dialog that picks the media: the chosen path, or nothing.
    using MediaDialog = std::function<std::optional<std::string>(const FileDialogOptions&)>;
    // The "Open Url" dialog: the text after OK, or nothing after Cancel.
    using UrlDialog = std::function<std::optional<std::string>()>;

    MediaPageLogic(ProjectDocument& document, const TemplateLibrary& library, const LayoutLayers& layers,
                   Shell& shell);

    // Fills the transition list from the catalogue; after "Ini file lost.
    // (%s)" when it is missing, false and an empty list.
    bool initialise();

    // Shows the slide of `item`; nothing happens for the root or a session.
    void showSlide(TreeItem* item);
    // Forgets the slide (it is being removed, or another page is shown).
    void clearSlide();
    TreeItem* slideItem() const { return item_; }

    // What the page shows.
    const std::string& subTopic() const { return subTopic_; }
    const std::string& description() const { return description_; }
    const std::string& delayText() const { return delay_.text(); }
    const std::vector<TransitionEntry>& transitions() const { return transitions_; }
    int selectedTransition() const { return selectedTransition_; }
    bool transitionEnabled() const { return transitionEnabled_ && layers_.effect != 0; }
    bool subTopicEnabled() const { return layers_.subTopic != 0; }
    bool descriptionEnabled() const { return layers_.description != 0; }
    // "Import" and the preview follow the layout's media area.
    bool mediaEnabled() const { return layers_.effect != 0; }
    // The picture of the preview frame (through the image cache), or empty.
    const std::string& previewPicture() const { return preview_; }
    // The media file as the page keeps it: folder and name apart.
    const std::string& mediaFolder() const { return mediaFolder_; }
    const std::string& mediaName() const { return mediaName_; }

    // The controls.
    void editSubTopic(const std::string& text);
    void editDescription(const std::string& text);
    void editDelay(const std::string& text);
    void leaveDelay();
    void selectTransition(int position);
    // "Import": asks for a file and takes it.
    void chooseMedia();
    void setMediaDialog(MediaDialog dialog) { mediaDialog_ = std::move(dialog); }
    // The chosen file, as after the dialog: false, after its message, for a
    // kind the page does not take or a file that cannot be copied.
    bool takeMedia(const std::string& path);
    // Double click in the preview.
    void openMedia();
    // "URL Link": asks for the address, then replaces the description.
    void linkUrl();
    void setUrlDialog(UrlDialog dialog) { urlDialog_ = std::move(dialog); }
    // "Open Url" in the dialog.
    void openUrl(const std::string& text);
    // The description from an address typed into "Open Url" (after OK).
    void applyUrl(const std::string& text);

    // The options the media dialog opens with.
    FileDialogOptions mediaDialogOptions();

    auto visibleState() const
    {
        return std::make_tuple(item_, subTopic_, description_, delay_.text(), transitions_, selectedTransition_,
                        transitionEnabled_, preview_, mediaFolder_, mediaName_);
    }

private:
    // The shown slide's record; nothing once its item has left the tree.
    SlideData* slide() const;
    void slideEdited();
    void showMedia();
    void selectTransitionFor(const SlideData& slide);

    ProjectDocument& document_;
    const TemplateLibrary& library_;
    const LayoutLayers& layers_;
    Shell& shell_;
    MediaDialog mediaDialog_;
    UrlDialog urlDialog_;

    TreeItem* item_ = nullptr;
    std::string subTopic_;
    std::string description_;
    DelayField delay_;
    std::vector<TransitionEntry> transitions_;
    int selectedTransition_ = -1;
    bool transitionEnabled_ = true;
    std::string preview_;
    std::string mediaFolder_;
    std::string mediaName_;
};

} // namespace pavonia
