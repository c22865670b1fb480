#include "import/SlideDeckConverter.h"

#include "platform/ChildProcess.h"
#include "platform/FileOps.h"
#include "platform/Folders.h"
#include "platform/Text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>

namespace fs = std::filesystem;

namespace pavonia {

namespace {

using Clock = std::chrono::steady_clock;

// The deck is handed to the office program under this name, in the work
// folder: a name of ours can never be taken for an option, and the PDF it
// writes has a known name.
constexpr const char* kDeckName = "presentation";
constexpr const char* kProfileFolder = "profile";
// Held (flock) by the one conversion that uses a kept profile.
constexpr const char* kProfileLock = "pavonia-in-use.lock";
constexpr const char* kLogName = "converter.log";

// The last line a converter program wrote that says something.
std::string lastLine(const std::string& logPath)
{
    std::ifstream in(logPath);
    std::string line, last;
    while (std::getline(in, line)) {
        line = trimmed(line);
        // The office program's remark about its Java helper is no reason.
        if (!line.empty() && line.find("javaldx") == std::string::npos)
            last = line;
    }
    return last;
}

struct PdfFacts {
    int pages = 0;
    double width = 0;  // points
    double height = 0; // points
};

bool parsePdfInfo(const std::string& text, PdfFacts& facts)
{
    std::istringstream in(text);
    std::string line;
    bool havePages = false;
    while (std::getline(in, line)) {
        if (line.rfind("Pages:", 0) == 0) {
            facts.pages = int(parseLeadingInteger(line.substr(6)));
            havePages = true;
        } else if (line.rfind("Page size:", 0) == 0) {
            const std::string sizes = line.substr(10);
            facts.width = parseLeadingDouble(sizes);
            const std::size_t x = sizes.find('x');
            if (x != std::string::npos)
                facts.height = parseLeadingDouble(sizes.substr(x + 1));
        }
    }
    return havePages;
}

// The kept profile folder, locked for this conversion; empty when it is in
// use or cannot be had.
FileHandle lockKeptProfile(const std::string& folder)
{
    if (folder.empty() || !folders::createPath(folder))
        return {};
    FileHandle lock(::open((folder + kProfileLock).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.valid() || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0)
        return {};
    return lock;
}

// Empties a kept profile folder but for its lock.
void clearKeptProfile(const std::string& folder)
{
    for (const fs::directory_entry& entry : folders::entriesOf(folder)) {
        std::error_code ec;
        if (entry.path().filename() != kProfileLock)
            fs::remove_all(entry.path(), ec);
    }
}

// The pictures pdftoppm has written so far ("Slide-<n>.jpg").
int countPictures(const std::string& folder)
{
    const std::string prefix = std::string(SlideDeckConverter::kBaseName) + "-";
    int count = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) == 0 && name.ends_with(".jpg"))
            ++count;
    }
    return count;
}

// Renames pdftoppm's "Slide-007.jpg" to "Slide7.jpg"; returns how many
// pictures there are.
int renamePictures(const std::string& folder)
{
    const std::string prefix = std::string(SlideDeckConverter::kBaseName) + "-";
    int count = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0 || name.size() <= prefix.size() + 4 ||
            name.compare(name.size() - 4, 4, ".jpg") != 0)
            continue;
        const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 6)
            continue;
        const int number = std::stoi(digits);
        std::error_code renameError;
        fs::rename(entry.path(), fs::path(folder) / (SlideDeckConverter::kBaseName + std::to_string(number) + ".jpg"),
                   renameError);
        if (!renameError)
            ++count;
    }
    return count;
}

} // namespace

std::string fileUrl(const std::string& path)
{
    static const char* hex = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.' || c == '~' || c == '/') {
            url += char(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

LibreOfficeConverter::LibreOfficeConverter(int timeoutSeconds) : LibreOfficeConverter(timeoutSeconds, Programs{}) {}

LibreOfficeConverter::LibreOfficeConverter(int timeoutSeconds, Programs programs)
    : timeoutSeconds_(timeoutSeconds), programs_(std::move(programs))
{
}

bool LibreOfficeConverter::available() const
{
    return !findProgram(programs_.office).empty();
}

DeckConversion LibreOfficeConverter::convert(const std::string& deckPath, const std::string& folder, int maxPictures)
{
    DeckConversion result;
    const auto started = Clock::now();
    const auto limit = std::chrono::seconds(std::max(timeoutSeconds_, 1));
    // What is left of the time limit for the next program, at least 1 ms.
    auto remainingMs = [&] {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(limit - (Clock::now() - started));
        return int(std::max<long long>(left.count(), 1));
    };
    auto ended = [&](const ProgramRun& run) {
        switch (run.end) {
        case ProgramRun::End::TimedOut:
            result.status = DeckConversion::Status::TimedOut;
            result.detail = std::to_string(std::max(timeoutSeconds_, 1));
            return true;
        case ProgramRun::End::Cancelled:
            result.status = DeckConversion::Status::Cancelled;
            return true;
        case ProgramRun::End::CannotStart:
            result.status = DeckConversion::Status::CannotStart;
            result.detail = std::to_string(run.error);
            return true;
        default:
            return false;
        }
    };

    // An empty file is no deck, though the office program would open it as a
    // new, empty presentation.
    std::error_code ec;
    const auto size = fs::file_size(deckPath, ec);
    if (ec || size == 0) {
        result.status = DeckConversion::Status::OpenFailed;
        return result;
    }

    const std::string extension = toLowerAscii(extensionOf(deckPath));
    const std::string deck = folder + kDeckName + (extension.empty() ? "" : "." + extension);
    fs::create_symlink(fs::absolute(deckPath, ec), deck, ec);
    if (ec) {
        ec.clear();
        fs::copy_file(deckPath, deck, ec);
        if (ec) {
            result.status = DeckConversion::Status::OpenFailed;
            result.detail = ec.message();
            return result;
        }
    }

    ProgramOptions options;
    options.keepGoing = keepGoing_;
    // The converters keep their work files, settings and caches beside
    // ours, so that they go with the folder and the user's own stay
    // untouched.
    options.environment = {"TMPDIR=" + folder, "HOME=" + folder + "home", "XDG_CONFIG_HOME=" + folder + "config",
                           "XDG_CACHE_HOME=" + folder + "cache", "XDG_DATA_HOME=" + folder + "data"};
    options.outputFile = folder + kLogName;
    options.timeoutMs = remainingMs();
    const FileHandle profileLock = lockKeptProfile(keptProfile_);
    const std::string profile =
        profileLock.valid() ? keptProfile_.substr(0, keptProfile_.size() - 1) : folder + kProfileFolder;
    ProgramRun run = runProgram({programs_.office, "--headless", "--invisible", "--nologo", "--norestore",
                                 "--nolockcheck", "--nodefault", "-env:UserInstallation=" + fileUrl(profile),
                                 "--convert-to", "pdf", "--outdir", folder, deck},
                                options);
    // A profile the office program was stopped in may be half set up: the
    // next conversion starts from a fresh one.
    if (profileLock.valid() && (run.end == ProgramRun::End::TimedOut || run.end == ProgramRun::End::Cancelled))
        clearKeptProfile(keptProfile_);
    if (ended(run))
        return result;
    const std::string pdf = folder + kDeckName + ".pdf";
    if (!fs::is_regular_file(pdf, ec)) {
        // The office program says "source file could not be loaded" and
        // still ends with status 0.
        result.status = DeckConversion::Status::OpenFailed;
        result.detail = lastLine(options.outputFile);
        return result;
    }

    options.outputFile = folder + "pdfinfo.txt";
    options.timeoutMs = remainingMs();
    run = runProgram({programs_.pdfInfo, pdf}, options);
    if (ended(run))
        return result;
    PdfFacts facts;
    std::string info;
    {
        std::ifstream in(options.outputFile);
        info.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!run.succeeded() || !parsePdfInfo(info, facts)) {
        result.status = DeckConversion::Status::OpenFailed;
        result.detail = lastLine(options.outputFile);
        return result;
    }
    result.slides = facts.pages;
    if (facts.pages <= 0) {
        result.status = DeckConversion::Status::NoSlides;
        return result;
    }

    // Fitted into the box keeping the slide's proportions: the side that
    // meets the box first is set, the other follows.
    // Both sides are given, so that rounding never makes a picture a pixel
    // larger than the box.
    const bool wide = facts.height <= 0 || facts.width <= 0 ||
                      facts.width * kPictureHeight >= facts.height * kPictureWidth;
    int width = kPictureWidth, height = kPictureHeight;
    if (facts.height > 0 && facts.width > 0) {
        if (wide)
            height = std::clamp(int(kPictureWidth * facts.height / facts.width + 0.5), 1, kPictureHeight);
        else
            width = std::clamp(int(kPictureHeight * facts.width / facts.height + 0.5), 1, kPictureWidth);
    }
    const int last = std::min(facts.pages, std::max(maxPictures, 1));
    options.outputFile = folder + kLogName;
    options.timeoutMs = remainingMs();
    if (picturesDone_) {
        // The pictures written so far are counted whenever the run asks
        // whether to go on.
        options.keepGoing = [&] {
            picturesDone_(std::min(countPictures(folder), last), last);
            return !keepGoing_ || keepGoing_();
        };
    }
    run = runProgram({programs_.pdfToPictures, "-jpeg", "-jpegopt", "quality=90", "-f", "1", "-l",
                      std::to_string(last), "-scale-to-x", std::to_string(width), "-scale-to-y",
                      std::to_string(height), pdf,
                      folder + kBaseName},
                     options);
    if (ended(run))
        return result;
    result.pictures = renamePictures(folder);
    if (!run.succeeded() || result.pictures < last) {
        result.status = DeckConversion::Status::ExportFailed;
        result.detail = lastLine(options.outputFile);
        return result;
    }
    result.status = DeckConversion::Status::Ok;
    return result;
}

} // namespace pavonia
