// Builds the generated part of the stock template library: the page
// templates, the style and layout pictures and the style "info.ini" files.
//
// Usage: make_templates SOURCE-FOLDER TEMPLATE-FOLDER...
//
// SOURCE-FOLDER holds
//   layouts/L<m>.geo     one geometry table per layout: the rectangles of the
//                        page's areas, for the 800 x 600 page and for any
//                        page size that is not a scaled copy of it;
//   styles/<name>/style.ini   folder, description, sizes, layouts and the
//                        colours the pictures are drawn in;
//   styles/<name>/page.htm    the page source of the style, which goes on
//                        from the shared head;
//   page-head.htm        the shared head every page starts with: doctype,
//                        title and the opening of the style sheet;
//   *.htm, *.css         parts the page sources include.
// Everything is written into each TEMPLATE-FOLDER (the staged library).
//
// A page source is plain HTML with placeholders: {{include:FILE}} inserts a
// part, {{page.w}} and {{page.h}} give the page size, {{AREA.l}}, {{AREA.t}},
// {{AREA.w}} and {{AREA.h}} an area's rectangle (zero when the layout has no
// such area), {{AREA.r}} and {{AREA.b}} its right and bottom edges,
// {{AREA.hide}} " display:none;" for a missing area, and {{s:N}} the length
// N of the 800 x 600 page scaled to the page size.
#include "PagePicture.h"
#include "TemplateSources.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace pavonia::stock;

namespace {

// Writes each file into every staging folder.
class Outputs {
public:
    explicit Outputs(std::vector<fs::path> roots) : roots_(std::move(roots)) {}

    void write(const std::string& relativePath, const QByteArray& bytes) const
    {
        for (const auto& root : roots_) {
            const fs::path path = root / relativePath;
            fs::create_directories(path.parent_path());
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(bytes.constData(), bytes.size());
            if (!out)
                fail("cannot write " + path.string());
        }
    }

    void write(const std::string& relativePath, const std::string& text) const
    {
        write(relativePath, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    }

    void writeImage(const std::string& relativePath, const QImage& image, const char* format) const
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, format, std::string(format) == "JPG" ? 92 : -1))
            fail("cannot encode " + relativePath);
        write(relativePath, bytes);
    }

private:
    std::vector<fs::path> roots_;
};

// Picture sizes: style and layout thumbnails, and the style preview.
constexpr int kThumbWidth = 120;
constexpr int kPreviewWidth = 400;

QSize sizeFor(const Geometry& g, int width)
{
    return QSize(width, static_cast<int>(std::lround(double(width) * g.height / g.width)));
}

// --- The library ----------------------------------------------------------------------

void buildLayout(const Layout& layout, const Outputs& out)
{
    const Geometry& base = layout.tables.front();
    const std::string name = "Layout/L" + std::to_string(layout.number) + ".jpg";
    out.writeImage(name, drawPage(base, wireframePaint(), sizeFor(base, kThumbWidth), false), "JPG");
}

void buildStyle(const Style& style, const std::map<int, Layout>& layouts, const fs::path& sourceFolder,
                const Outputs& out)
{
    const Paint paint = paintOf(style);
    const std::string pageSource =
        expandIncludes(readText(sourceFolder / "page-head.htm") + style.page, sourceFolder);
    const std::string folder = style.folder + "/";

    std::ostringstream info;
    info << "[Style]\r\nDescription=" << style.description << "\r\nSupportSize=" << style.supportSize << "\r\n";

    bool first = true;
    for (int number : style.layouts) {
        const auto it = layouts.find(number);
        if (it == layouts.end())
            fail(style.folder + " names layout " + std::to_string(number) + ", which has no geometry table");
        const Layout& layout = it->second;
        // The pictures show the page in its first size.
        const Geometry shown = geometryFor(layout, style.sizes.front());
        const std::string layoutFolder = folder + "L" + std::to_string(number) + "/";
        const QSize previewSize = sizeFor(shown, kPreviewWidth);
        out.writeImage(layoutFolder + "Preview.jpg", drawPage(shown, paint, previewSize, false), "JPG");
        if (style.custom) {
            out.writeImage(layoutFolder + "Preview_mask.bmp",
                           drawPage(shown, paint, previewSize, true).convertToFormat(QImage::Format_RGB888), "BMP");
            if (first) // the page fills the whole preview
                info << "Area=0,0," << previewSize.width() << "," << previewSize.height() << "\r\n";
        }
        if (first)
            out.writeImage(folder + "ui.jpg", drawPage(shown, paint, sizeFor(shown, kThumbWidth), false), "JPG");
        first = false;
        for (int size : style.sizes) {
            const std::string where = style.folder + " L" + std::to_string(number) + " " + std::to_string(size);
            out.write(layoutFolder + std::to_string(size) + "/Template.htm",
                      expandPage(pageSource, geometryFor(layout, size), where));
        }
    }
    out.write(folder + "info.ini", info.str());
}

// Removes what an earlier run made (style folders and layout thumbnails),
// so a style or layout taken out of the sources leaves nothing behind. The
// hand-written files beside them are not touched.
void clearGenerated(const fs::path& root)
{
    std::vector<fs::path> made;
    if (fs::is_directory(root))
        for (const auto& entry : fs::directory_iterator(root)) {
            const std::string name = entry.path().filename().string();
            if (entry.is_directory()
                && (name.rfind("Style", 0) == 0 || name.rfind("stylec", 0) == 0 || name == "Special"))
                made.push_back(entry.path());
        }
    if (fs::is_directory(root / "Layout"))
        for (const auto& entry : fs::directory_iterator(root / "Layout"))
            if (entry.path().extension() == ".jpg")
                made.push_back(entry.path());
    for (const auto& path : made)
        fs::remove_all(path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_templates SOURCE-FOLDER TEMPLATE-FOLDER...\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const fs::path source = argv[1];
    std::vector<fs::path> roots;
    for (int i = 2; i < argc; ++i)
        roots.emplace_back(argv[i]);
    for (const auto& root : roots)
        clearGenerated(root);
    const Outputs out(roots);

    std::map<int, Layout> layouts;
    for (const auto& entry : fs::directory_iterator(source / "layouts"))
        if (entry.path().extension() == ".geo") {
            Layout layout = readLayout(entry.path());
            layouts[layout.number] = std::move(layout);
        }
    if (layouts.empty())
        fail("no layouts in " + (source / "layouts").string());
    for (const auto& [number, layout] : layouts)
        buildLayout(layout, out);

    std::vector<fs::path> styleFolders;
    for (const auto& entry : fs::directory_iterator(source / "styles"))
        if (entry.is_directory())
            styleFolders.push_back(entry.path());
    std::sort(styleFolders.begin(), styleFolders.end());
    for (const auto& folder : styleFolders)
        buildStyle(readStyle(folder), layouts, source, out);
    return 0;
}
