#pragma once
// Slide decks for tests, made by the tests themselves: a flat-XML
// presentation written here, each slide filled with a colour of its own and
// showing its number, turned into other formats (".pptx", ".ppt") by the
// office program. Converted decks are kept in the build tree's test cache,
// so that the test programs and the test cases share one conversion.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

namespace pavonia::test {

struct Colour {
    int r, g, b;
};

// Twelve colours far apart from each other; slide n (from 1) takes colour
// (n - 1) mod 12.
inline Colour slideColour(int n)
{
    static constexpr std::array<Colour, 12> colours{{
        {230, 25, 25}, {25, 200, 25}, {25, 25, 230}, {240, 240, 30}, {230, 30, 230}, {30, 230, 230},
        {250, 140, 0}, {120, 0, 160}, {120, 80, 20}, {250, 250, 250}, {130, 130, 130}, {0, 110, 110},
    }};
    return colours[std::size_t((n - 1) % 12)];
}

inline bool closeTo(Colour a, Colour b, int tolerance = 40)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// A flat-XML presentation of `slides` slides of 28 x 21 cm.
inline std::string flatPresentation(int slides)
{
    auto hex = [](Colour c) {
        char text[8];
        std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
        return std::string(text);
    };
    std::string styles, pages;
    for (int i = 1; i <= 12; ++i)
        styles += "<style:style style:name=\"c" + std::to_string(i) +
                  "\" style:family=\"graphic\"><style:graphic-properties draw:fill=\"solid\" draw:fill-color=\"" +
                  hex(slideColour(i)) + "\" draw:stroke=\"none\"/></style:style>";
    for (int n = 1; n <= slides; ++n)
        pages += "<draw:page draw:name=\"page" + std::to_string(n) + "\" draw:master-page-name=\"M\">"
                 "<draw:rect draw:style-name=\"c" + std::to_string((n - 1) % 12 + 1) +
                 "\" svg:x=\"0cm\" svg:y=\"0cm\" svg:width=\"28cm\" svg:height=\"21cm\"/>"
                 "<draw:frame svg:x=\"1cm\" svg:y=\"1cm\" svg:width=\"12cm\" svg:height=\"3cm\"><draw:text-box>"
                 "<text:p>" + std::to_string(n) + "</text:p></draw:text-box></draw:frame></draw:page>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
           "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
           "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
           "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
           "xmlns:presentation=\"urn:oasis:names:tc:opendocument:xmlns:presentation:1.0\" office:version=\"1.2\" "
           "office:mimetype=\"application/vnd.oasis.opendocument.presentation\"><office:styles/>"
           "<office:automatic-styles><style:page-layout style:name=\"PM1\"><style:page-layout-properties "
           "fo:page-width=\"28cm\" fo:page-height=\"21cm\" style:print-orientation=\"landscape\"/>"
           "</style:page-layout>" + styles + "</office:automatic-styles><office:master-styles>"
           "<style:master-page style:name=\"M\" style:page-layout-name=\"PM1\"/></office:master-styles>"
           "<office:body><office:presentation>" + pages + "</office:presentation></office:body></office:document>\n";
}

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline bool officeAvailable()
{
    return std::system("command -v soffice >/dev/null 2>&1 && command -v pdftoppm >/dev/null 2>&1") == 0;
}

// A deck of `slides` slides in `format` ("pptx", "ppt", "odp"), converted
// once and kept in the test cache; nothing when the office program failed.
inline std::optional<std::string> convertedDeck(int slides, const std::string& format)
{
    namespace fs = std::filesystem;
    const fs::path cache = fs::path(PAVONIA_TEST_CACHE_DIR) / "decks";
    const std::string name = "deck" + std::to_string(slides) + "-v1." + format;
    const fs::path target = cache / name;
    std::error_code ec;
    if (fs::is_regular_file(target, ec))
        return target.string();
    fs::create_directories(cache, ec);
    std::string work = (cache / "work-XXXXXX").string();
    if (!::mkdtemp(work.data()))
        return std::nullopt;
    const std::string source = work + "/deck" + std::to_string(slides) + "-v1.fodp";
    writeText(source, flatPresentation(slides));
    // The office program's own caches go into the work folder, not the
    // caller's home.
    const std::string command = "cd '" + work + "' && HOME='" + work + "' XDG_CACHE_HOME='" + work + "/cache' XDG_CONFIG_HOME='" + work +
                                "/config' soffice --headless -env:UserInstallation=file://" + work +
                                "/profile --convert-to " + format + " --outdir '" + work + "' '" + source +
                                "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    const fs::path made = fs::path(work) / name;
    // Renamed into place whole, so that a test program running at the same
    // time never sees half a deck.
    if (status == 0 && fs::is_regular_file(made, ec))
        fs::rename(made, target, ec);
    fs::remove_all(work, ec);
    if (!fs::is_regular_file(target, ec))
        return std::nullopt;
    return target.string();
}

// An OpenDocument presentation whose content is encrypted with a password
// (the manifest says so; the content is noise): a deck that cannot be opened
// without its password.
inline std::string passwordProtectedPresentation()
{
    auto crc32 = [](const std::string& data) {
        std::uint32_t crc = 0xffffffffu;
        for (unsigned char byte : data) {
            crc ^= byte;
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    };
    auto le16 = [](unsigned v) { return std::string{char(v & 0xff), char(v >> 8 & 0xff)}; };
    auto le32 = [&](std::uint32_t v) { return le16(v & 0xffff) + le16(v >> 16); };
    const std::string manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
        "manifest:version=\"1.2\">"
        "<manifest:file-entry manifest:full-path=\"/\" "
        "manifest:media-type=\"application/vnd.oasis.opendocument.presentation\"/>"
        "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\" "
        "manifest:size=\"1000\"><manifest:encryption-data "
        "manifest:checksum-type=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0#sha256-1k\" "
        "manifest:checksum=\"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\">"
        "<manifest:algorithm manifest:algorithm-name=\"http://www.w3.org/2001/04/xmlenc#aes256-cbc\" "
        "manifest:initialisation-vector=\"AAAAAAAAAAAAAAAAAAAAAA==\"/>"
        "<manifest:key-derivation manifest:key-derivation-name=\"PBKDF2\" manifest:key-size=\"32\" "
        "manifest:iteration-count=\"100000\" manifest:salt=\"AAAAAAAAAAAAAAAAAAAAAA==\"/>"
        "<manifest:start-key-generation manifest:start-key-generation-name=\"http://www.w3.org/2000/09/xmldsig#sha256\" "
        "manifest:key-size=\"32\"/></manifest:encryption-data></manifest:file-entry></manifest:manifest>";
    std::string noise;
    std::uint32_t x = 12345;
    for (int i = 0; i < 1008; ++i) {
        x = x * 1103515245u + 12345u;
        noise += char(x >> 16);
    }
    const std::pair<std::string, std::string> entries[] = {
        {"mimetype", "application/vnd.oasis.opendocument.presentation"},
        {"META-INF/manifest.xml", manifest},
        {"content.xml", noise},
    };
    // A zip archive of stored (uncompressed) entries.
    std::string zip, directory;
    for (const auto& [entryName, data] : entries) {
        const std::string common = le16(20) + le16(0) + le16(0) + le16(0) + le16(0) + le32(crc32(data)) +
                                   le32(std::uint32_t(data.size())) + le32(std::uint32_t(data.size())) +
                                   le16(unsigned(entryName.size())) + le16(0);
        directory += "PK\x01\x02" + le16(20) + common + le16(0) + le16(0) + le16(0) + le32(0) +
                     le32(std::uint32_t(zip.size())) + entryName;
        zip += "PK\x03\x04" + common + entryName + data;
    }
    const std::uint32_t directoryStart = std::uint32_t(zip.size());
    zip += directory + "PK\x05\x06" + le16(0) + le16(0) + le16(3) + le16(3) +
           le32(std::uint32_t(directory.size())) + le32(directoryStart) + le16(0);
    return zip;
}

} // namespace pavonia::test
