#include "TemplateSources.h"

#include "platform/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace pavonia::stock {

[[noreturn]] void fail(const std::string& message)
{
    std::fprintf(stderr, "make_templates: %s\n", message.c_str());
    std::exit(1);
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

namespace {

// The sources are trimmed of spaces, tabs and line ends only.
std::string trim(std::string_view text)
{
    return trimmed(text, " \t\r\n");
}

std::vector<std::string> splitList(const std::string& text, char delimiter)
{
    std::vector<std::string> pieces;
    std::string piece;
    std::istringstream in(text);
    while (std::getline(in, piece, delimiter))
        if (!trim(piece).empty())
            pieces.push_back(trim(piece));
    return pieces;
}

int toInt(const std::string& text, const std::string& where)
{
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size())
            return value;
    } catch (const std::exception&) {
    }
    fail("not a number: \"" + text + "\" in " + where);
}

using IniData = std::map<std::string, Section>;

IniData readIni(const fs::path& path)
{
    IniData data;
    std::istringstream in(readText(path));
    std::string line, section;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            fail("line without \"=\" in " + path.string() + ": " + line);
        data[section][trim(line.substr(0, equals))] = trim(line.substr(equals + 1));
    }
    return data;
}

} // namespace

const std::vector<std::string> kAreas = {"heading", "talker", "subtopic", "media", "description", "controls"};

Layout readLayout(const fs::path& path)
{
    Layout layout;
    const std::string stem = path.stem().string();
    layout.number = toInt(stem.substr(1), path.string());
    std::istringstream in(readText(path));
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        line = trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        std::istringstream words(line);
        std::string name;
        words >> name;
        const std::string where = path.string() + ":" + std::to_string(lineNumber);
        if (name == "page") {
            Geometry table;
            if (!(words >> table.width >> table.height))
                fail("page needs a width and a height at " + where);
            layout.tables.push_back(table);
            continue;
        }
        if (std::find(kAreas.begin(), kAreas.end(), name) == kAreas.end())
            fail("unknown area \"" + name + "\" at " + where);
        if (layout.tables.empty())
            fail("area before the first page line at " + where);
        Rect rect;
        if (!(words >> rect.l >> rect.t >> rect.w >> rect.h))
            fail("area needs left, top, width and height at " + where);
        auto& table = layout.tables.back();
        if (rect.l < 0 || rect.t < 0 || rect.w <= 0 || rect.h <= 0 || rect.l + rect.w > table.width
            || rect.t + rect.h > table.height)
            fail("area outside the page at " + where);
        table.areas[name] = rect;
    }
    if (layout.tables.empty())
        fail("no page table in " + path.string());
    return layout;
}

Geometry geometryFor(const Layout& layout, int width)
{
    for (const auto& table : layout.tables)
        if (table.width == width)
            return table;
    const Geometry& base = layout.tables.front();
    Geometry scaled;
    scaled.width = width;
    scaled.height = static_cast<int>(std::lround(double(width) * base.height / base.width));
    const double factor = double(width) / base.width;
    for (const auto& [name, r] : base.areas) {
        const auto at = [&](int v) { return static_cast<int>(std::lround(v * factor)); };
        // Right and bottom edges are scaled too, so neighbouring areas keep
        // their common edges.
        scaled.areas[name] = {at(r.l), at(r.t), at(r.l + r.w) - at(r.l), at(r.t + r.h) - at(r.t)};
    }
    return scaled;
}

QColor Style::colour(const std::string& key, const char* fallback) const
{
    const auto it = palette.find(key);
    const std::string value = it == palette.end() ? fallback : it->second;
    if (value == "none")
        return {};
    const QColor c(QString::fromStdString(value));
    if (!c.isValid())
        fail("bad colour \"" + value + "\" for " + key + " in " + source.string());
    return c;
}

std::string Style::text(const std::string& key, const char* fallback) const
{
    const auto it = palette.find(key);
    return it == palette.end() ? fallback : it->second;
}

int Style::number(const std::string& key, int fallback) const
{
    const auto it = palette.find(key);
    return it == palette.end() ? fallback : toInt(it->second, source.string());
}

Style readStyle(const fs::path& folder)
{
    Style style;
    style.source = folder / "style.ini";
    IniData ini = readIni(style.source);
    Section& info = ini["Style"];
    style.folder = info["Folder"];
    style.description = info["Description"];
    style.supportSize = info["SupportSize"];
    if (style.folder.empty() || style.description.empty() || style.supportSize.empty())
        fail("Folder, Description and SupportSize are needed in " + style.source.string());
    for (const auto& size : splitList(style.supportSize, ','))
        style.sizes.push_back(toInt(size, style.source.string()));
    for (const auto& layout : splitList(info["Layouts"], ','))
        style.layouts.push_back(toInt(layout, style.source.string()));
    if (style.layouts.empty())
        fail("no Layouts in " + style.source.string());
    const std::string leaf = fs::path(style.folder).filename().string();
    style.custom = leaf.rfind("stylec", 0) == 0;
    // A custom style's resolution key carries its whole size list, which
    // names one folder: it can only offer one size.
    if ((style.custom || style.folder.rfind("Special/", 0) == 0) && style.sizes.size() != 1)
        fail("a custom or special style offers exactly one size: " + style.source.string());
    style.palette = ini["Preview"];
    style.page = readText(folder / "page.htm");
    return style;
}

std::string expandIncludes(const std::string& text, const fs::path& sourceFolder, int depth)
{
    if (depth > 4)
        fail("includes nested too deeply");
    std::string out;
    std::size_t pos = 0;
    const std::string open = "{{include:";
    for (;;) {
        const auto at = text.find(open, pos);
        if (at == std::string::npos)
            break;
        const auto end = text.find("}}", at);
        if (end == std::string::npos)
            fail("unclosed include");
        out += text.substr(pos, at - pos);
        const std::string name = text.substr(at + open.size(), end - at - open.size());
        out += expandIncludes(readText(sourceFolder / name), sourceFolder, depth + 1);
        pos = end + 2;
    }
    return out + text.substr(pos);
}

std::string expandPage(const std::string& source, const Geometry& geometry, const std::string& where)
{
    std::map<std::string, std::string> values;
    values["page.w"] = std::to_string(geometry.width);
    values["page.h"] = std::to_string(geometry.height);
    for (const auto& area : kAreas) {
        const auto it = geometry.areas.find(area);
        const Rect r = it == geometry.areas.end() ? Rect{} : it->second;
        values[area + ".l"] = std::to_string(r.l);
        values[area + ".t"] = std::to_string(r.t);
        values[area + ".w"] = std::to_string(r.w);
        values[area + ".h"] = std::to_string(r.h);
        values[area + ".r"] = std::to_string(r.l + r.w);
        values[area + ".b"] = std::to_string(r.t + r.h);
        values[area + ".hide"] = it == geometry.areas.end() ? " display:none;" : "";
    }
    const double scale = std::min(geometry.width / 800.0, geometry.height / 600.0);

    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const auto at = source.find("{{", pos);
        if (at == std::string::npos)
            break;
        const auto end = source.find("}}", at);
        if (end == std::string::npos)
            fail("unclosed placeholder in " + where);
        out += source.substr(pos, at - pos);
        const std::string key = source.substr(at + 2, end - at - 2);
        if (key.rfind("s:", 0) == 0) {
            const int length = toInt(key.substr(2), where);
            out += std::to_string(std::max(1L, std::lround(length * scale)));
        } else if (const auto it = values.find(key); it != values.end()) {
            out += it->second;
        } else {
            fail("unknown placeholder {{" + key + "}} in " + where);
        }
        pos = end + 2;
    }
    return out + source.substr(pos);
}

} // namespace pavonia::stock
