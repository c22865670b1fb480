#include "publish/HtmlCodeCopy.h"

#include "platform/Folders.h"
#include "platform/FileOps.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "project/FolderMemory.h"
#include "templates/ReadLayerRect.h"
#include "platform/UniqueTempFolder.h"

#include <cerrno>
#include <cstdio>

namespace pavonia {

HtmlCodeCopy::HtmlCodeCopy(Publisher& publisher, ProjectDocument& document)
    : publisher_(publisher), document_(document)
{
}

std::string HtmlCodeCopy::dataFolderName(const std::string& pageFileName)
{
    return baseNameOf(pageFileName) + StringTable::text(str::DataFolderSuffix);
}

std::string HtmlCodeCopy::inlineFrame(int height, int width, const std::string& companionPage)
{
    return StringTable::format(str::InlineFrameElement,
                               {std::to_string(height), std::to_string(width), companionPage});
}

bool HtmlCodeCopy::selectPage()
{
    FileDialogOptions options;
    options.filter = StringTable::text(str::WebFileFilter);
    options.defaultExtension = "htm";
    options.mustExist = true;
    options.startFolder = document_.folderMemory().get(slot::Html);
    const auto picked = document_.ui().openFileDialog(options);
    if (!picked || picked->empty())
        return false;
    return pickPage(picked->front());
}

bool HtmlCodeCopy::pickPage(const std::string& pagePath)
{
    // The extension, lower-cased with its dot, must be one the filter names
    // (as a whole, so ".st" does not pass for ".stm").
    const std::string extension = toLowerAscii(extensionOf(pagePath));
    const std::string filter = toLowerAscii(StringTable::text(str::WebFileFilter));
    bool known = false;
    for (std::size_t at = 0; !extension.empty() && (at = filter.find("*." + extension, at)) != std::string::npos;
         ++at) {
        const std::size_t end = at + 2 + extension.size();
        if (end < filter.size() && (filter[end] == ';' || filter[end] == ')' || filter[end] == '|')) {
            known = true;
            break;
        }
    }
    if (!known) {
        document_.message(StringTable::format(str::UnsupportedFileFormat, {pagePath}));
        return false;
    }
    folder_ = folderOf(pagePath);
    fileName_ = finalComponent(pagePath);
    if (extension == "htm")
        document_.folderMemory().set(slot::Html, folder_);
    return true;
}

bool HtmlCodeCopy::process()
{
    if (!canProcess())
        return false;
    const std::string base = dataFolderName(fileName_);
    const std::string dataFolder = folder_ + base + "/";
    const std::string companion = folder_ + base + ".htm";
    // Published into a folder of the run's own, removed when done.
    std::string staged;
    struct StagedFolder {
        const std::string& folder;
        const std::string& systemTemp;
        ~StagedFolder()
        {
            if (!folder.empty())
                deleteUniqueTempFolder(folder, systemTemp);
        }
    } removeStaged{staged, document_.systemTempFolder()};
    PublishRequest request;
    request.usePrefix = true;
    request.prefix = base;
    request.startAtFirstSlide = true;
    request.destination = &staged;
    if (!publisher_.PublishProject(request))
        return false;
    const std::string& user = staged;

    // The page's folder may refuse the copies (it is read-only, or a file
    // stands where the data folder goes): that is a failure, not a code.
    const auto copyFailed = [&](const std::string& path) {
        const int error = errno;
        document_.message(StringTable::format(str::ApplyTemplateOpenError, {path, systemErrorText(error)}));
        return false;
    };
    if (!folders::copyTree(user, dataFolder))
        return copyFailed(dataFolder);
    const std::string& page = publisher_.publishedPage();
    if (!copyWholeFile(page, companion))
        return copyFailed(companion);
    std::remove((dataFolder + finalComponent(page)).c_str());

    const LayerRect layer =
        ReadLayerRect(companion, PageLayer::Background, document_.ui()).value_or(LayerRect{});
    code_ = inlineFrame(layer.height - layer.top, layer.width - layer.left, base + ".htm");
    return true;
}

bool PreviewInBrowser(Publisher& publisher)
{
    PublishRequest request;
    request.preview = true;
    return publisher.PublishProject(request);
}

} // namespace pavonia
