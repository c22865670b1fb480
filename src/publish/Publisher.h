#pragma once
// Publishing: turns the open project into a folder a web browser can show.
// PublishProject chooses and fills the destination folder with the template's
// companion files; ApplyTemplate writes the filled page "Template.htm" and
// copies every file the page names (talking images and messages, media,
// background picture). Callers: browser preview (onto the shelf of previews
// in the "User" folder), HTML code copy and the CD export (a fresh temporary
// folder each).
#include "platform/MessageExporter.h"
#include "platform/Result.h"
#include "platform/Shell.h"
#include "project/ProjectDocument.h"
#include "publish/TextToHtml.h"
#include "templates/LayoutLayers.h"
#include "templates/TemplateLibrary.h"

#include <functional>
#include <optional>
#include <string>

namespace pavonia {

// The qualities the export dialog sets: sound 1 High, 2 Middle, 3 Low; image
// the JPEG quality 0..100 of fitted pictures.
struct ExportQualities {
    int sound = 2;
    int image = 80;
};

struct PublishRequest {
    // Publish onto the shelf of previews in the "User" folder (see
    // PreviewShelf) and open the page in the browser afterwards.
    bool preview = false;
    // File references in the page begin with `prefix` and "/" (a given,
    // non-empty prefix only).
    bool usePrefix = false;
    std::optional<std::string> prefix;
    // The page starts at the first slide; otherwise at the selected one.
    bool startAtFirstSlide = false;
    // Every page goes into a fresh temporary folder of the run's own. When
    // given (and not preview), that folder's path, ending with "/", is stored
    // here and the folder is the caller's to delete; otherwise a failed
    // publishing deletes it.
    std::string* destination = nullptr;
};

// What publishing takes from the program around it.
struct PublishContext {
    PublishContext(ProjectDocument& document, const TemplateLibrary& library, const LayoutLayers& layers,
                   MessageExporter& exporter)
        : document(document), library(library), layers(layers), exporter(exporter)
    {
    }

    ProjectDocument& document;
    const TemplateLibrary& library;
    const LayoutLayers& layers;
    MessageExporter& exporter;
    ExportQualities qualities{};
    int verticalDotsPerInch = kDefaultDotsPerInch; // of the screen, for font sizes
    Shell* browser = nullptr;                      // opens a preview; none: not opened
    std::function<void()> stopPlayback;            // stops the slide page's voice playback
    unsigned pictureWorkers = 0;                   // threads fitting pictures; 0: the machine's cores
    // Told how many of the project's files are published, after each one;
    // false stops publishing there without a message (the page is not
    // written, as for any failure).
    std::function<bool(std::size_t done, std::size_t total)> progress;
};

class Publisher {
public:
    explicit Publisher(PublishContext context);

    // Prepares the destination and writes the page; false after a message
    // when it could not (an unusable resolution key, a page that cannot be
    // read or written, no temporary folder).
    bool PublishProject(const PublishRequest& request);

    // Fills `destinationPage` from `sourcePage` and copies the project's
    // files beside it. A file that cannot be read is passed over (the page
    // still names it), and so is a picture that cannot be read (once
    // reported); a copy or a data script that cannot be written ends it with
    // false after a message, the previous page left as it was.
    bool ApplyTemplate(const std::string& sourcePage, const std::string& destinationPage, bool usePrefix,
                       const std::optional<std::string>& prefix, bool startAtFirstSlide);

    // The page written by the last successful PublishProject.
    const std::string& publishedPage() const { return publishedPage_; }

    // The index of the slide the page starts at when it starts at the
    // selection: the selected slide, or the first slide of a selected
    // session, counted in presentation order; 0 for anything else.
    static int startSlideIndex(const ProjectTree& tree);

private:
    void show(const std::string& text);
    // Copies the resolution folder's files and the player's files of the
    // library into `destination`.
    Result<> copyTemplateFiles(const std::string& resolutionFolder, const std::string& destination) const;
    // Publishes a talking message re-encoded at the export sound quality.
    Result<> exportMessage(const std::string& from, const std::string& to) const;

    PublishContext context_;
    std::string publishedPage_;
};

} // namespace pavonia
