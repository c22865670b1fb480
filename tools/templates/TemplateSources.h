#pragma once
// The sources of the stock template library: the layouts' geometry tables,
// the styles' descriptions and page sources, and the expansion of a page
// source for one page size. Any fault in a source stops the program with a
// message naming the file.
#include <QColor>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace pavonia::stock {

namespace fs = std::filesystem;

[[noreturn]] void fail(const std::string& message);
std::string readText(const fs::path& path);

struct Rect {
    int l = 0, t = 0, w = 0, h = 0;
};

// The areas a page may have, by the names the geometry tables use.
extern const std::vector<std::string> kAreas;

struct Geometry {
    int width = 0, height = 0;
    std::map<std::string, Rect> areas; // an area that is missing is not shown
};

struct Layout {
    int number = 0;
    std::vector<Geometry> tables; // the first one is the 800 x 600 base
};

// Reads "L<m>.geo".
Layout readLayout(const fs::path& path);
// The geometry for a page `width` wide: its own table when the layout has
// one, else the base table scaled to a page of the base's proportions.
Geometry geometryFor(const Layout& layout, int width);

using Section = std::map<std::string, std::string>;

struct Style {
    fs::path source;
    std::string folder;      // "Style0", "stylec1", "Special/Style0"
    std::string description;
    std::string supportSize; // written verbatim into info.ini
    std::vector<int> sizes;
    std::vector<int> layouts;
    bool custom = false;
    Section palette; // the [Preview] section: how the pictures are drawn
    std::string page;

    // A palette colour; invalid for "none".
    QColor colour(const std::string& key, const char* fallback) const;
    std::string text(const std::string& key, const char* fallback) const;
    int number(const std::string& key, int fallback) const;
};

// Reads a style's "style.ini" and "page.htm".
Style readStyle(const fs::path& folder);

// Inserts the parts named by {{include:FILE}}, read from `sourceFolder`.
std::string expandIncludes(const std::string& text, const fs::path& sourceFolder, int depth = 0);
// Fills the placeholders of a page source for one page; `where` names the
// page in messages.
std::string expandPage(const std::string& source, const Geometry& geometry, const std::string& where);

} // namespace pavonia::stock
