#pragma once
// A project with a small template library of its own, ready to publish.
#include "PictureFiles.h"
#include "TestProject.h"
#include "platform/MessageExporter.h"
#include "publish/Publisher.h"
#include "templates/TemplateLibrary.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace pavonia::test {

// Records each call and copies the message, marking the quality it got.
class RecordingExporter final : public MessageExporter {
public:
    bool LoadTpsFile(const std::string& path) override
    {
        calls.push_back("load " + finalName(path));
        loaded = readFile(path);
        return true;
    }
    bool SaveTpsFile(const std::string& path, int soundQuality) override
    {
        calls.push_back("save " + finalName(path) + " " + std::to_string(soundQuality));
        if (saveError != 0)
            return false;
        std::ofstream(path, std::ios::binary) << loaded << "@q" << soundQuality;
        return true;
    }
    Failure lastError() const override { return Failure(0, {}, saveError); }
    static std::string finalName(const std::string& path) { return path.substr(path.rfind('/') + 1); }
    std::vector<std::string> calls;
    std::string loaded;
    int saveError = 0; // when set, saving fails with this system error
};

// The page template of the fixture library: every marker once, the media
// area 400 x 300, and text after the end marker.
inline const char* kFixtureTemplate =
    "<html><head><style>%SBG</style></head>\n"
    "<body class=\"defBG\"><div id=\"BGLayer\" class=\"defBG\" "
    "style=\"position:absolute; left:0px; top:0px; width:800px; height:600px;\"></div>\n"
    "<script>InitMediaLayer(10, 20, 400, 300);\n"
    "%INIT\n"
    "Start(%SP, %AP, %AL, %AJ, \"%IP_\");</script><h1>%MT</h1>\n"
    "</body></html>\n"
    "<!-- END -->\n"
    "dropped %AP\n";

// A 24-bit bitmap of `width` x `height` in one grey.
inline void writeBmp(const std::string& path, int width, int height, std::uint8_t shade = 90)
{
    writeBmp24(path, width, height, [shade](int, int) { return Rgb8{shade, shade, shade}; });
}

struct PublishFixture : TestProject {
    explicit PublishFixture(const std::string& pageTemplate = kFixtureTemplate)
        : TestProject(false), library(inst.folder(), ui)
    {
        installation.writeFile("install/Template/Style0/L0/800/Template.htm", pageTemplate);
        installation.writeFile("install/Template/Style0/L0/800/style.css", "body {}\n");
        installation.writeFile("install/Template/Style0/L0/800/images/frame.gif", "GIF89a");
        installation.writeFile("install/Template/function.js", "function Start() {}\n");
        installation.writeFile("install/Template/face.js", "var face;\n");
        installation.writeFile("install/Template/loading.gif", "GIF89a");
        installation.writeFile("install/default_tjm.tjm", "face");
        installation.writeFile("install/default_tps.tps", "voice");
        operations.createView();
    }

    Publisher makePublisher(unsigned workers = 0)
    {
        PublishContext context{document, library, layers, exporter};
        context.pictureWorkers = workers;
        context.verticalDotsPerInch = 96;
        return Publisher(context);
    }

    // The slides of the tree, in order.
    std::vector<TreeItem*> slides() { return document.tree().allSlides(); }

    // The lines of the "%INIT" part of a published page, one per call.
    static std::vector<std::string> pageInfoLines(const std::string& page)
    {
        std::vector<std::string> lines;
        for (std::size_t at = 0; (at = page.find("AppendPageInfo(", at)) != std::string::npos;) {
            const std::size_t end = page.find(");", at);
            lines.push_back(page.substr(at, end + 2 - at));
            at = end;
        }
        return lines;
    }

    TestInstallation& installation = inst;
    TemplateLibrary library;
    LayoutLayers layers;
    RecordingExporter exporter;
};

} // namespace pavonia::test
