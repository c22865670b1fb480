#include "publish/Publisher.h"

#include "import/FitPicture.h"
#include "platform/Folders.h"
#include "platform/FileOps.h"
#include "platform/ReplacingFile.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "publish/FaceDataScript.h"
#include "publish/MessageDataScript.h"
#include "publish/PageDataScript.h"
#include "publish/PageFiller.h"
#include "publish/PictureFitting.h"
#include "platform/UniqueTempFolder.h"
#include "publish/PreviewShelf.h"
#include "templates/CaseBlindPath.h"

#include <cerrno>
#include <cstdio>
#include <limits>
#include <map>
#include <set>
#include <variant>
#include <vector>

namespace pavonia {

namespace {

constexpr const char* kPageName = "Template.htm";
constexpr const char* kMessageWorkFile = "orgTps.tps";
constexpr const char* kNoFile = "?";
// The box for pictures when the template declares no media area: pictures
// then keep their size instead of shrinking to nothing.
constexpr int kUnboundedBox = 1 << 20;

std::string orMark(std::string text)
{
    return text.empty() ? std::string(kNoFile) : text;
}

// The copies of one run, made in page order once the pictures are fitted.
struct CopyFile {
    std::string from;
    std::string to;
    bool operator==(const CopyFile&) const = default;
};
struct ExportMessage {
    std::string from;
    std::string to;
    bool operator==(const ExportMessage&) const = default;
};
struct CopyFitted {
    std::size_t job;
    std::string to;
    bool operator==(const CopyFitted&) const = default;
};
using CopyStep = std::variant<CopyFile, ExportMessage, CopyFitted>;

// Sessions share the default talking image and message, and slides share
// pictures, so the same step comes up again and again. A step equal to the
// last one that wrote its file would write the same bytes again (for a
// message, after re-encoding it again) and is left out; any other step is
// kept, so every file still ends as the last step naming it makes it.
class CopyPlan {
public:
    void add(CopyStep step)
    {
        const std::string& to = std::visit([](const auto& s) -> const std::string& { return s.to; }, step);
        const auto [last, first] = lastWriter_.try_emplace(to, steps_.size());
        if (!first) {
            if (steps_[last->second] == step)
                return;
            last->second = steps_.size();
        }
        steps_.push_back(std::move(step));
    }
    const std::vector<CopyStep>& steps() const { return steps_; }

private:
    std::vector<CopyStep> steps_;
    std::map<std::string, std::size_t> lastWriter_; // file -> its last step
};

// The names of the project's files in the published folder. A file keeps its
// own name unless that is a file the template or the player put there, or
// the data script of a published talking image or message: a file of the
// project then never replaces them, and its copy takes "NAME_n.EXT".
// Names are compared without regard to case, as the folder may end up on a
// disc or a system that does.
class PublishedNames {
public:
    explicit PublishedNames(const std::string& page)
    {
        for (const auto& entry : folders::entriesOf(folderOf(page)))
            taken_.insert(toLowerAscii(entry.path().filename().string()));
        taken_.insert(toLowerAscii(kPageName));
        taken_.insert(toLowerAscii(finalComponent(page)));
    }

    // The published name of a project file named `name`; with `dataScript`,
    // the name of its data script is kept free too.
    std::string name(const std::string& name, bool dataScript)
    {
        if (name.empty())
            return name;
        const std::string key = toLowerAscii(name);
        if (const auto it = chosen_.find(key); it != chosen_.end())
            return it->second;
        const std::string extension = extensionOf(name);
        const std::string stem = extension.empty() ? name : name.substr(0, name.size() - extension.size() - 1);
        std::string candidate = name;
        for (int n = 1; isTaken(candidate, dataScript); ++n)
            candidate = stem + "_" + std::to_string(n) + (extension.empty() ? "" : "." + extension);
        taken_.insert(toLowerAscii(candidate));
        if (dataScript)
            taken_.insert(toLowerAscii(pagedata::scriptName(candidate)));
        chosen_.emplace(key, candidate);
        return candidate;
    }

private:
    bool isTaken(const std::string& candidate, bool dataScript) const
    {
        return taken_.count(toLowerAscii(candidate)) ||
               (dataScript && taken_.count(toLowerAscii(pagedata::scriptName(candidate))));
    }

    std::set<std::string> taken_;
    std::map<std::string, std::string> chosen_; // lower-case file name -> published name
};

// Copies a file of the project into the published folder, replacing what is
// there (a link is replaced, never written through). A source that cannot be
// read is left out, and the page still names it; a copy that cannot be
// written fails the page.
Result<> publishCopy(const std::string& from, const std::string& to)
{
    if (!FileHandle::openRead(from).valid())
        return {};
    if (!copyIntoNewFile(from, to, Creation::Replace))
        return Failure::system(str::ApplyTemplateOpenError, {to});
    return {};
}

} // namespace

Publisher::Publisher(PublishContext context) : context_(std::move(context)) {}

void Publisher::show(const std::string& text)
{
    context_.document.message(text);
}

int Publisher::startSlideIndex(const ProjectTree& tree)
{
    const TreeItem* selected = tree.selected();
    if (selected && selected->childCount() > 0)
        selected = selected->child(0);
    if (!selected || selected->kind() != ItemKind::Slide)
        return 0;
    int index = 0;
    for (const TreeItem* slide : tree.allSlides()) {
        if (slide == selected)
            return index;
        ++index;
    }
    return 0;
}

bool Publisher::PublishProject(const PublishRequest& request)
{
    ProjectDocument& document = context_.document;
    BusyCursor busy(document.ui());
    if (context_.stopPlayback)
        context_.stopPlayback();
    publishedPage_.clear();

    const ProjectSettings& settings = document.settings();
    // Nothing when the resolution key does not split or names no single folder.
    const std::optional<TemplatePaths> paths = context_.library.ResolveTemplatePaths(settings);
    if (!paths) {
        show(StringTable::format(str::ResolutionExportError, {settings.resolutionKey}));
        return false;
    }

    // Every page is published into a fresh folder of the run's own, so that
    // nothing another run publishes meets it half-made; a preview is then
    // moved onto the shelf of previews in "User".
    const std::string destination = makeUniqueTempFolder(document.systemTempFolder(), document.clock());
    if (destination.empty()) {
        show(StringTable::text(str::CreateTempDirectoryFailed));
        return false;
    }
    if (request.destination)
        *request.destination = destination;
    const auto dropStaged = [&] {
        if (!request.destination)
            deleteUniqueTempFolder(destination, document.systemTempFolder());
    };

    // The template's companion files (a missing resolution folder shows up
    // as a missing page below) and the page's player, function.js with the
    // talking face it draws in face.js.
    if (const Result<> copied = copyTemplateFiles(paths->resolutionFolder, destination); !copied) {
        show(copied.failure().text());
        dropStaged();
        return false;
    }

    std::string page = destination + kPageName;
    if (!ApplyTemplate(paths->pageTemplate, page, request.usePrefix, request.prefix, request.startAtFirstSlide)) {
        dropStaged();
        return false;
    }
    if (request.preview) {
        const std::string shelf = document.workingFolder().userFolder();
        const std::string shelved = shelvePreview(destination, shelf);
        if (shelved.empty()) {
            show(StringTable::format(str::ApplyTemplateOpenError, {shelf, systemErrorText(errno)}));
            dropStaged();
            return false;
        }
        page = shelved + kPageName;
    }
    publishedPage_ = page;
    if (request.preview && context_.browser)
        context_.browser->open(page);
    return true;
}

Result<> Publisher::copyTemplateFiles(const std::string& resolutionFolder, const std::string& destination) const
{
    std::error_code ec;
    if (std::filesystem::is_directory(resolutionFolder, ec) && !folders::copyTree(resolutionFolder, destination))
        return Failure::system(str::ApplyTemplateOpenError, {destination});
    const std::string& root = context_.library.root();
    for (const char* shared : {"function.js", "face.js", "loading.gif"})
        if (const Result<> copied = publishCopy(resolveCaseBlind(root, shared), destination + shared); !copied)
            return copied;
    return {};
}

Result<> Publisher::exportMessage(const std::string& from, const std::string& to) const
{
    if (!FileHandle::openRead(from).valid())
        return {};
    // The message is re-encoded in a work file of the run's own.
    const std::string workFile = context_.document.systemTempFolder() + kMessageWorkFile;
    struct RemoveWorkFile {
        const std::string& path;
        ~RemoveWorkFile() { std::remove(path.c_str()); }
    } removeWorkFile{workFile};
    if (!copyIntoNewFile(from, workFile, Creation::Replace))
        return Failure::system(str::ApplyTemplateOpenError, {workFile});
    // A message the exporter cannot read is published as it is.
    if (context_.exporter.LoadTpsFile(workFile) &&
        !context_.exporter.SaveTpsFile(workFile, context_.qualities.sound)) {
        const int error = context_.exporter.lastError().systemError;
        return Failure(str::ApplyTemplateOpenError, {workFile}, error ? error : EIO);
    }
    if (!copyIntoNewFile(workFile, to, Creation::Replace))
        return Failure::system(str::ApplyTemplateOpenError, {to});
    return {};
}

bool Publisher::ApplyTemplate(const std::string& sourcePage, const std::string& destinationPage, bool usePrefix,
                              const std::optional<std::string>& prefix, bool startAtFirstSlide)
{
    ProjectDocument& document = context_.document;
    const ProjectSettings& settings = document.settings();
    const bool prefixed = usePrefix && prefix && !prefix->empty();
    auto pageName = [&](const std::string& name) { return prefixed ? *prefix + "/" + name : name; };

    std::string templateText;
    if (readWholeFile(sourcePage, std::numeric_limits<std::uint64_t>::max(), templateText) != FileRead::Ok) {
        show(StringTable::format(str::ApplyTemplateOpenError, {sourcePage, systemErrorText(errno)}));
        return false;
    }
    // The page replaces the previous one only once it is written whole: a
    // failure on the way leaves the previous page as it was.
    ReplacingFile out(destinationPage, LinkTarget::Replace);
    if (!out.valid()) {
        show(out.failure(str::ApplyTemplateOpenError).text());
        return false;
    }
    const std::string folder = folderOf(destinationPage);
    const EntityTable entities = makeEntityTable();

    CopyPlan copies;
    PublishedNames names(destinationPage);
    // Talking images and messages first: their data scripts' names are then
    // kept free of media files.
    for (const TreeItem* sessionItem : document.tree().sessions()) {
        if (const SessionData* session = sessionItem->session()) {
            names.name(finalComponent(session->talkingImagePath), true);
            names.name(finalComponent(session->talkingMessagePath), true);
        }
    }
    PageValues values;
    if (settings.backgroundMode == 1) {
        values.backgroundRule = colourBackgroundRule(settings.backgroundColour);
        values.backgroundClass = "QBBG";
    } else if (settings.backgroundMode == 2) {
        const std::string name = names.name(finalComponent(settings.backgroundImagePath), false);
        copies.add(CopyFile{settings.backgroundImagePath, folder + name});
        values.backgroundRule = pictureBackgroundRule(pageName(name), settings.backgroundTile != 0);
        values.backgroundClass = "QBBG";
    }

    const MediaArea area = readMediaArea(templateText);
    const bool boxed = area.width > 0 && area.height > 0;
    const int boxWidth = boxed ? area.width : kUnboundedBox;
    const int boxHeight = boxed ? area.height : kUnboundedBox;
    const bool keepMessages = document.preferences().exportType() == 1 && prefixed;
    const int pictureQuality = keepMessages ? 100 : context_.qualities.image;
    const int dpi = context_.verticalDotsPerInch;

    auto convert = [&](const std::string& text, int fontSet, const FontSpec& font) {
        if (text.empty())
            return std::string(kNoFile);
        std::string html = TextToHtml(text, entities);
        if (fontSet)
            html = FontSpan(html, font, dpi);
        return orMark(std::move(html));
    };

    PictureFitting pictures;
    // The published talking images and messages, which get data scripts.
    std::set<std::string> faceFiles;
    std::set<std::string> messageFiles;
    for (const TreeItem* sessionItem : document.tree().sessions()) {
        const SessionData* session = sessionItem->session();
        if (!session)
            continue;
        const std::string imageName = names.name(finalComponent(session->talkingImagePath), true);
        copies.add(CopyFile{session->talkingImagePath, folder + imageName});
        if (!imageName.empty())
            faceFiles.insert(folder + imageName);
        std::string talkingImage = pageName(imageName);

        const std::string messageName = names.name(finalComponent(session->talkingMessagePath), true);
        if (keepMessages)
            copies.add(CopyFile{session->talkingMessagePath, folder + messageName});
        else
            copies.add(ExportMessage{session->talkingMessagePath, folder + messageName});
        if (!messageName.empty())
            messageFiles.insert(folder + messageName);
        std::string talkingMessage = pageName(messageName);

        for (const auto& slideItem : sessionItem->children()) {
            const SlideData* slide = slideItem->slide();
            if (!slide)
                continue;
            std::string media;
            if (context_.layers.effect == 1 && !slide->mediaPath.empty()) {
                const std::string name = names.name(publishedPictureName(finalComponent(slide->mediaPath)), false);
                if (isFittedPicture(slide->mediaPath))
                    copies.add(CopyFitted{
                        pictures.add(slide->mediaPath, boxWidth, boxHeight, pictureQuality), folder + name});
                else
                    copies.add(CopyFile{slide->mediaPath, folder + name});
                media = pageName(name);
            }
            values.pageInfo += pageInfoLine(talkingImage, talkingMessage, orMark(media), slide->delay,
                                            slide->transition,
                                            convert(slide->subTopic, settings.subTopicFontSet, settings.subTopicFont),
                                            convert(slide->description, settings.descriptionFontSet,
                                                    settings.descriptionFont));
            talkingImage.clear();
            talkingMessage.clear();
        }
    }

    pictures.runAhead(context_.pictureWorkers);
    std::vector<std::string> unreadable;
    // A copy that cannot be written (a full disk, say) fails the page: a
    // page naming a file cut short would play wrong or not at all.
    const std::size_t steps = copies.steps().size();
    std::size_t done = 0;
    if (context_.progress && !context_.progress(0, steps))
        return false;
    for (const CopyStep& step : copies.steps()) {
        Result<> copied;
        if (const auto* copy = std::get_if<CopyFile>(&step)) {
            copied = publishCopy(copy->from, copy->to);
        } else if (const auto* message = std::get_if<ExportMessage>(&step)) {
            copied = exportMessage(message->from, message->to);
        } else if (const auto* fitted = std::get_if<CopyFitted>(&step)) {
            const PictureFitting::Result result = pictures.result(fitted->job);
            if (!result.path.empty())
                copied = publishCopy(result.path, fitted->to);
            else
                unreadable.push_back(finalComponent(fitted->to));
        }
        if (!copied) {
            show(copied.failure().text());
            return false;
        }
        if (context_.progress && !context_.progress(++done, steps))
            return false;
    }
    // The page still names them and shows its missing-picture card in their
    // place; the user learns which ones, once.
    if (!unreadable.empty()) {
        std::string list;
        for (const std::string& name : unreadable)
            list += (list.empty() ? "" : "\n") + name;
        show(StringTable::format(str::PicturesNotPublished, {list}));
    }

    values.startSlide = startAtFirstSlide ? 0 : startSlideIndex(document.tree());
    values.autoPlay = settings.autoPlay;
    values.autoLoop = settings.autoLoop;
    values.autoJump = settings.autoJump;
    if (settings.headingFontSet)
        values.heading = FontSpan(settings.headingText.empty() ? std::string()
                                                                : TextToHtml(settings.headingText, entities),
                                  settings.headingFont, dpi);
    else
        values.heading = settings.headingText;
    values.filePrefix = prefixed ? *prefix + "\\" : std::string();

    // A template that names its markers many thousand times would grow a
    // page far beyond the project's size: refused before it is made.
    if (const std::uint64_t size = filledPageSize(templateText, values), limit = pageSizeLimit(templateText, values);
        size > limit) {
        show(StringTable::format(str::PageTooLarge, {std::to_string(size), std::to_string(limit), sourcePage}));
        return false;
    }
    const std::string page = fillPage(templateText, values);
    if (!out.write(page)) {
        show(out.failure(str::ApplyTemplateOpenError).text());
        return false;
    }
    // The page reads each talking image and message through a data script
    // beside it, made from the file as published (re-encoded or not). The
    // page takes its place once they are all there.
    for (const auto& [files, writeBeside] : {std::pair{&faceFiles, &FaceDataScript::writeBeside},
                                            std::pair{&messageFiles, &MessageDataScript::writeBeside}})
        for (const std::string& path : *files)
            if (!writeBeside(path)) {
                show(Failure::system(str::ApplyTemplateOpenError, {pagedata::scriptPath(path)}).text());
                return false;
            }
    if (!out.commit()) {
        show(out.failure(str::ApplyTemplateOpenError).text());
        return false;
    }
    return true;
}

} // namespace pavonia
