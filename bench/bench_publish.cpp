// Publishing a project of 256 slides with large JPEG pictures (3000 x 2000)
// against ImageMagick's `convert -resize` run once per picture, one after the
// other, to the same media-area size and quality, measured in the same run.
// Prints both times and their ratio (publishing must be the faster).
#include "BenchProject.h"
#include "BenchSupport.h"
#include "publish/CopyMessageExporter.h"
#include "publish/PageFiller.h"
#include "publish/Publisher.h"
#include "platform/UniqueTempFolder.h"
#include "templates/TemplateLibrary.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace pavonia;
using namespace pavonia::bench;

namespace {

constexpr int kSlides = 256;
constexpr int kSlidesPerSession = 16;
constexpr int kWidth = 3000;
constexpr int kHeight = 2000;
constexpr int kDistinctPictures = 8;

// A photograph-like picture: smooth gradients with some texture, so that
// the JPEG is of a realistic size.
void writePicture(const std::string& jpegPath, int seed)
{
    const std::string ppm = jpegPath + ".ppm";
    {
        std::ofstream out(ppm, std::ios::binary);
        out << "P6\n" << kWidth << ' ' << kHeight << "\n255\n";
        std::vector<unsigned char> row(static_cast<std::size_t>(kWidth) * 3);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const double u = static_cast<double>(x) / kWidth, v = static_cast<double>(y) / kHeight;
                const double wave = std::sin((x + seed * 97) / 37.0) * std::cos((y - seed * 53) / 29.0);
                row[x * 3 + 0] = static_cast<unsigned char>(127 + 100 * u + 27 * wave);
                row[x * 3 + 1] = static_cast<unsigned char>(127 + 90 * v - 30 * wave);
                row[x * 3 + 2] = static_cast<unsigned char>(((x ^ y) + seed * 31) & 0x3f) + 160 * (1 - u);
            }
            out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
        }
    }
    const std::string command = "convert '" + ppm + "' -quality 90 '" + jpegPath + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "convert failed: %s\n", command.c_str());
        std::exit(1);
    }
    fs::remove(ppm);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string installData = argc > 1 ? argv[1] : PAVONIA_BENCH_DATA_DIR;
    const auto folders = BenchFolders::make("pavonia-bench-publish", installData);
    if (!folders)
        return 1;
    const auto& [root, install, temp] = *folders;
    fs::create_directories(root + "pictures");

    // A few distinct pictures, each copied under many names: every slide has
    // a file of its own, so nothing is shared between slides.
    std::vector<std::string> originals;
    for (int i = 0; i < kDistinctPictures; ++i) {
        originals.push_back(root + "pictures/original" + std::to_string(i) + ".jpg");
        writePicture(originals.back(), i);
    }
    std::vector<std::string> pictures;
    for (int i = 0; i < kSlides; ++i) {
        pictures.push_back(root + "pictures/picture" + std::to_string(i) + ".jpg");
        fs::copy_file(originals[static_cast<std::size_t>(i % kDistinctPictures)], pictures.back());
    }

    bench::BenchProject core{install, temp};
    ProjectDocument& document = core.document;
    TreeOperations& operations = core.operations;
    ConsoleUi& ui = core.ui;
    ProjectTree& tree = document.tree();
    TreeItem* session = tree.sessions().front();
    operations.ReleaseItemFiles(*session->child(0));
    tree.remove(session->child(0));
    for (int i = 0; i < kSlides; ++i) {
        if (i > 0 && i % kSlidesPerSession == 0)
            session = operations.AddSession(session);
        TreeItem* last = session->childCount() ? session->child(session->childCount() - 1) : nullptr;
        operations.AddSlide(last, "Slide", *session, pictures[static_cast<std::size_t>(i)]);
    }

    TemplateLibrary library(install, ui);
    LayoutLayers layers;
    library.ValidateTemplateSelection(document.settings(), layers);
    const auto paths = library.ResolveTemplatePaths(document.settings());
    std::ifstream templateFile(paths->pageTemplate, std::ios::binary);
    const std::string templateText((std::istreambuf_iterator<char>(templateFile)), std::istreambuf_iterator<char>());
    const MediaArea area = readMediaArea(templateText);
    const ExportQualities qualities;
    std::printf("slides: %d, pictures %d x %d, media area %d x %d, quality %d, cores %u\n", tree.slideCount(),
                kWidth, kHeight, area.width, area.height, qualities.image, std::thread::hardware_concurrency());

    // The baseline: one convert per slide picture, one after the other.
    fs::create_directories(root + "convert");
    const double convertSeconds = secondsOf([&] {
        for (const TreeItem* slide : tree.allSlides()) {
            const std::string& media = slide->slide()->mediaPath;
            const std::string command = "convert '" + media + "' -resize " + std::to_string(area.width) + "x" +
                                        std::to_string(area.height) + " -quality " +
                                        std::to_string(qualities.image) + " '" + root + "convert/" +
                                        fs::path(media).filename().string() + "'";
            if (std::system(command.c_str()) != 0)
                std::abort();
        }
    }, SyncFirst::yes);

    CopyMessageExporter exporter;
    PublishContext context(document, library, layers, exporter);
    context.qualities = qualities;
    Publisher publisher(context);
    std::string destination;
    const double publishSeconds = secondsOf([&] {
        PublishRequest request;
        request.startAtFirstSlide = true;
        request.destination = &destination;
        if (!publisher.PublishProject(request))
            std::abort();
    }, SyncFirst::yes);
    std::size_t published = 0;
    for (const auto& entry : fs::directory_iterator(destination))
        published += entry.path().extension() == ".jpg";

    std::printf("convert -resize, one per picture: %.2f s\n", convertSeconds);
    std::printf("publishing (%zu pictures):         %.2f s\n", published, publishSeconds);
    std::printf("ratio publishing / convert: %.2f (goal < 1.00)\n", publishSeconds / convertSeconds);
    deleteUniqueTempFolder(destination, temp);
    folders->remove();
    return publishSeconds < convertSeconds ? 0 : 1;
}
