#include "project/ProjectFile.h"

#include "platform/FileOps.h"
#include "platform/StringTable.h"
#include "platform/LittleEndian.h"
#include "platform/ReplacingFile.h"
#include "platform/Text.h"
#include "platform/TextEncoding.h"
#include "project/ProjectFileFormat.h"
#include "project/ProjectSettingsFields.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <set>
#include <unordered_map>
#include <vector>

namespace pavonia {

namespace fs = std::filesystem;

namespace {

// Collects the records of a save in memory; they are small.
class RecordWriter {
public:
    void text(std::uint32_t tag, const std::string& payload)
    {
        appendU32(bytes_, tag);
        appendU32(bytes_, static_cast<std::uint32_t>(payload.size()));
        bytes_ += payload;
        ++count_;
    }
    void number(std::uint32_t tag, std::int32_t value) { text(tag, std::to_string(value)); }
    void font(std::uint32_t tag, const FontSpec& font)
    {
        const auto raw = font.toBytes();
        text(tag, std::string(raw.begin(), raw.end()));
    }
    const std::string& bytes() const { return bytes_; }
    int count() const { return count_; }

private:
    std::string bytes_;
    int count_ = 0;
};

// Reads "%u" text as the C runtime does: digits wrap modulo 2^32.
std::uint32_t toUInt32(std::string_view text)
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(parseLeadingInteger(text)));
}

std::string header(std::uint32_t totalLength, std::int32_t recordCount)
{
    std::string out;
    appendU32(out, pvp::kMagic);
    appendU32(out, totalLength);
    appendU32(out, static_cast<std::uint32_t>(recordCount));
    return out;
}

} // namespace

std::string safeFileName(const std::string& storedName)
{
    const std::string name = finalComponent(storedName);
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos)
        return {};
    return name;
}

bool SaveProject(ProjectDocument& document, const std::string& path)
{
    BusyCursor busy(document.ui());
    if (const Result<> written = writeProjectFile(document, path); !written) {
        showFailure(document.ui(), written.failure());
        return false;
    }
    return true;
}

Result<> writeProjectFile(ProjectDocument& document, const std::string& path)
{
    ProjectSettings& settings = document.settings();
    // A write failure: errno is taken at once, before anything else runs.
    auto writeFailed = [&](ReplacingFile& file, int error) {
        file.noteFailure(error);
        return file.failure(str::WriteProjectFileFailed);
    };

    ReplacingFile file(path);
    if (!file.valid())
        return file.failure(str::OpenOutputProjectError);
    FileHandle& out = file.handle();

    SvMngr& store = document.svMngr();
    store.setDeferredCopies(true);
    store.clear();

    // A file larger than the pack's 32-bit size field could not be read back:
    // refusing the save keeps the user from a project that silently lost it.
    std::string tooLarge;
    auto pack = [&](const std::string& file) {
        if (store.add(file, SvMngr::kReplaceIfNewer) == SvMngr::kFileTooLarge && tooLarge.empty())
            tooLarge = file;
    };

    RecordWriter records;
    for (const ProjectSettingsField* field : projectSettingsRecords()) {
        switch (field->kind) {
        case ProjectSettingsField::Kind::Number:
            records.number(field->tag, field->of<std::int32_t>(settings));
            break;
        case ProjectSettingsField::Kind::Colour:
            records.text(field->tag, std::to_string(field->of<std::uint32_t>(settings)));
            break;
        case ProjectSettingsField::Kind::Font:
            records.font(field->tag, field->of<FontSpec>(settings));
            break;
        case ProjectSettingsField::Kind::Text:
        case ProjectSettingsField::Kind::ResolutionKey:
            records.text(field->tag, field->of<std::string>(settings));
            break;
        case ProjectSettingsField::Kind::File: {
            // The background picture is packed only while it is shown.
            const std::string& file = field->of<std::string>(settings);
            if (settings.backgroundMode == 2)
                pack(file);
            records.text(field->tag, finalComponent(file));
            break;
        }
        }
    }

    for (TreeItem* sessionItem : document.tree().sessions()) {
        const SessionData* session = sessionItem->session();
        if (!session)
            continue;
        records.text(pvp::SessionMarker, session->marker);
        pack(session->talkingImagePath);
        records.text(pvp::TalkingImage, finalComponent(session->talkingImagePath));
        pack(session->talkingMessagePath);
        records.text(pvp::TalkingMessage, finalComponent(session->talkingMessagePath));
        for (const auto& slideItem : sessionItem->children()) {
            const SlideData* slide = slideItem->slide();
            if (!slide)
                continue;
            records.text(pvp::SlideMarker, slide->marker);
            records.text(pvp::Delay, formatFixed2(slide->delay));
            records.number(pvp::Transition, slide->transition);
            records.text(pvp::SubTopic, slide->subTopic);
            records.text(pvp::Description, slide->description);
            pack(slide->mediaPath);
            records.text(pvp::Media, finalComponent(slide->mediaPath));
        }
    }

    if (!tooLarge.empty())
        return Failure(str::FileTooLargeToPack, {tooLarge});

    // Provisional header, the records, then the pack stream straight from the
    // working files; the header is completed once the length is known.
    if (!out.writeAll(header(pvp::kHeaderSize, 0).data(), pvp::kHeaderSize) ||
        !out.writeAll(records.bytes().data(), records.bytes().size()))
        return writeFailed(file, errno);
    const Result<bool> packed = store.writeStream(out);
    if (!packed)
        return writeFailed(file, packed.failure().systemError);
    if (!*packed)
        return Failure(str::PackFileMissing, {document.packTempPath()});
    const std::int64_t total = out.position();
    const std::string finalHeader = header(static_cast<std::uint32_t>(total), records.count());
    if (total < 0 || !out.seek(0) || !out.writeAll(finalHeader.data(), finalHeader.size()))
        return writeFailed(file, errno);
    if (!file.commit())
        return file.failure(str::OpenOutputProjectError);

    document.documentPath = path;
    document.setDirty(false);
    document.loadedDamaged = false;
    return {};
}

namespace {

// Reads the records of a project file into the document.
class RecordLoader {
public:
    RecordLoader(ProjectDocument& document, TreeOperations& operations, std::vector<Failure>& warnings)
        : document_(document), operations_(operations), settings_(document.settings()), warnings_(warnings)
    {
    }

    void apply(std::uint32_t tag, const std::string& payload);
    const std::vector<std::string>& expected() const { return expected_; }

private:
    std::string text(const std::string& payload) const { return decodeStoredText(payload); }
    // The working path for a stored name, appended to the expected files;
    // empty for an empty or unusable name.
    std::string expect(const std::string& payload);
    void limitReached();
    void applySetting(const ProjectSettingsField& field, const std::string& payload);
    void replaceSessionFile(std::string& field, const std::string& path);
    bool haveSlide() const { return session_ && slide_; }

    ProjectDocument& document_;
    TreeOperations& operations_;
    ProjectSettings& settings_;
    std::vector<Failure>& warnings_;
    std::vector<std::string> expected_;
    TreeItem* session_ = nullptr;
    TreeItem* slide_ = nullptr;
    bool warned_ = false;
};

std::string RecordLoader::expect(const std::string& payload)
{
    const std::string name = safeFileName(text(payload));
    if (name.empty())
        return {};
    std::string path = document_.workingFolder().tempFolder() + name;
    expected_.push_back(path);
    return path;
}

void RecordLoader::limitReached()
{
    if (!warned_)
        warnings_.emplace_back(str::SlideLimitReached);
    warned_ = true;
}

void RecordLoader::replaceSessionFile(std::string& field, const std::string& path)
{
    FileRefTable& refs = settings_.fileRefs;
    // The session's present copy is released: other sessions may still share it.
    if (auto index = refs.find(field)) {
        refs.decrement(*index);
        if (refs[*index].refCount < 1) {
            std::error_code ec;
            fs::remove(refs[*index].copy, ec);
            refs.removeAt(*index);
        }
    }
    field = path;
    if (auto index = refs.find(path))
        refs.increment(*index);
    else
        refs.add(path, path);
}

void RecordLoader::applySetting(const ProjectSettingsField& field, const std::string& payload)
{
    using Kind = ProjectSettingsField::Kind;
    switch (field.kind) {
    case Kind::Number:
        field.of<std::int32_t>(settings_) = payload.empty() ? field.emptyValue : parseClampedInt(payload);
        break;
    case Kind::Colour:
        if (!payload.empty())
            field.of<std::uint32_t>(settings_) = toUInt32(payload) & 0xFFFFFFu;
        break;
    case Kind::Font:
        if (!payload.empty())
            field.of<FontSpec>(settings_).assignBytes(reinterpret_cast<const std::uint8_t*>(payload.data()),
                                                       payload.size());
        break;
    case Kind::Text: field.of<std::string>(settings_) = text(payload); break;
    case Kind::ResolutionKey: {
        const std::string key = text(payload);
        field.of<std::string>(settings_) =
            key.empty() ? "0_800" : key.find('_') == std::string::npos ? "0_" + key : key;
        break;
    }
    case Kind::File: field.of<std::string>(settings_) = expect(payload); break;
    }
}

void RecordLoader::apply(std::uint32_t tag, const std::string& payload)
{
    if (const ProjectSettingsField* field = projectSettingsField(tag)) {
        applySetting(*field, payload);
        return;
    }
    ProjectTree& tree = document_.tree();
    switch (tag) {
    case pvp::SessionMarker:
        slide_ = nullptr;
        if (tree.slideCount() <= ProjectTree::kSlideLimit - 1) {
            session_ = operations_.AddSession(nullptr);
            if (session_) {
                tree.select(session_);
                session_->session()->marker = payload.empty() ? kSessionMarker : text(payload);
                tree.setText(*session_, operations_.sessionLabel(tree.sessionNumber(*session_)));
            }
        } else {
            limitReached();
            session_ = nullptr;
        }
        break;
    case pvp::TalkingImage:
    case pvp::TalkingMessage: {
        const std::string path = expect(payload);
        if (!path.empty() && session_) {
            SessionData& data = *session_->session();
            replaceSessionFile(tag == pvp::TalkingImage ? data.talkingImagePath : data.talkingMessagePath, path);
        }
        break;
    }
    case pvp::SlideMarker:
        slide_ = nullptr;
        if (tree.slideCount() <= ProjectTree::kSlideLimit - 1) {
            if (session_) {
                slide_ = operations_.AddSlide(nullptr, "", *session_, "");
                if (slide_) {
                    slide_->slide()->marker = payload.empty() ? kSlideMarker : text(payload);
                    slide_->slide()->hasContent = 1;
                }
            }
        } else {
            limitReached();
        }
        break;
    case pvp::SubTopic:
        if (haveSlide()) {
            slide_->slide()->subTopic = text(payload);
            tree.setText(*slide_, slide_->slide()->subTopic);
        }
        break;
    case pvp::Description:
        if (haveSlide())
            slide_->slide()->description = text(payload);
        break;
    case pvp::Delay:
        if (haveSlide())
            slide_->slide()->delay = SlideData::clampedDelay(parseLeadingDouble(payload));
        break;
    case pvp::Transition:
        if (haveSlide())
            slide_->slide()->transition = parseClampedInt(payload);
        break;
    case pvp::Media: {
        const std::string path = expect(payload);
        if (!path.empty() && haveSlide()) {
            slide_->slide()->mediaPath = path;
            FileRefTable& refs = settings_.fileRefs;
            if (auto index = refs.find(path))
                refs.increment(*index);
            else
                refs.add(path, path);
        }
        break;
    }
    default:
        break; // unknown records are passed over
    }
}

std::string joinNames(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

// Reads the next record; false when the file ends inside it or its length
// is negative or runs past the end of the file: the file is damaged and
// nothing after it can be read.
bool readRecord(FileHandle& in, std::int64_t fileSize, std::uint32_t& tag, std::string& payload)
{
    std::uint8_t recordHead[8];
    if (in.readFully(recordHead, 8) != 8)
        return false;
    const std::int64_t length = static_cast<std::int32_t>(getU32(recordHead + 4));
    if (length < 0 || length > fileSize - in.position())
        return false;
    payload.resize(static_cast<std::size_t>(length));
    if (in.readFully(payload.data(), payload.size()) != payload.size())
        return false;
    tag = getU32(recordHead);
    return true;
}

} // namespace

bool LoadProject(ProjectDocument& document, TreeOperations& operations, const std::string& path)
{
    BusyCursor busy(document.ui());
    std::vector<Failure> warnings;
    const Result<> read = readProjectFile(document, operations, path, warnings);
    for (const Failure& warning : warnings)
        showFailure(document.ui(), warning);
    if (!read) {
        showFailure(document.ui(), read.failure());
        return false;
    }
    return true;
}

Result<> readProjectFile(ProjectDocument& document, TreeOperations& operations, const std::string& path,
                         std::vector<Failure>& warnings)
{
    FileHandle in = FileHandle::openRead(path);
    int openError = in.valid() ? 0 : errno;
    struct stat info {};
    if (in.valid() && (::fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode))) {
        openError = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        in = FileHandle();
    }
    if (!in.valid())
        return Failure(str::OpenProjectFileError, {path}, openError);
    const std::int64_t fileSize = in.size();
    std::uint8_t head[pvp::kHeaderSize];
    if (in.readFully(head, sizeof head) != sizeof head || getU32(head) != pvp::kMagic)
        return Failure(str::NotAProjectFile, {path});

    // From here on the present project is replaced. Until the load is
    // complete the project has no file, so that a save cannot put a partial
    // project over the previous file.
    const bool wasBusy = document.busy();
    document.setBusy(true);
    document.documentPath.clear();
    ProjectSettings& settings = document.settings();
    settings.headerTag = static_cast<std::int32_t>(getU32(head));
    settings.headerLength = static_cast<std::int32_t>(getU32(head + 4));
    settings.headerRecordCount = static_cast<std::int32_t>(getU32(head + 8));
    // The previous project's files are deleted once the new ones are written.
    WorkingFolder::DeletionHold hold(document.workingFolder());
    document.tree().removeAllSessions();
    document.workingFolder().reset();

    RecordLoader loader(document, operations, warnings);
    std::string payload;
    // A file shorter than its header says was cut short, as is one whose
    // records or pack stream end before they do.
    bool damaged = std::uint64_t(fileSize) < getU32(head + 4);
    for (std::int32_t i = 0; i < settings.headerRecordCount; ++i) {
        std::uint32_t tag = 0;
        if (!readRecord(in, fileSize, tag, payload)) {
            damaged = true;
            break;
        }
        loader.apply(tag, payload);
    }

    // Each pack entry goes straight to the working file named like it; an
    // entry no record names is passed over, and a name expected twice (a file
    // shared by two sessions) is filled once.
    std::unordered_map<std::string, std::string> unfilled;
    for (const std::string& path : loader.expected())
        unfilled.emplace(toLowerAscii(finalComponent(path)), path);
    auto placer = [&](const std::string& name) {
        SvMngr::Placement placement;
        placement.kind = SvMngr::Placement::Skip;
        const std::string wanted = safeFileName(name);
        if (wanted.empty())
            return placement;
        auto it = unfilled.find(toLowerAscii(wanted));
        if (it == unfilled.end())
            return placement;
        placement.kind = SvMngr::Placement::Path;
        placement.path = it->second;
        unfilled.erase(it);
        return placement;
    };
    SvMngr& store = document.svMngr();
    const Result<bool> packRead = store.readStream(in, fileSize, -1, placer);
    document.setBusy(wasBusy);
    if (!packRead)
        return packRead.failure();
    if (*packRead && !store.complete())
        damaged = true;

    if (damaged) {
        // What the damage cost: the named files that were not in the pack,
        // or only in part.
        std::set<std::string> cutShort;
        for (int i = 0; i < store.count(); ++i)
            if (store.entry(i).cutShort)
                cutShort.insert(store.entry(i).privateCopy);
        std::vector<std::string> missing;
        std::set<std::string> listed;
        for (const std::string& expected : loader.expected()) {
            const auto it = unfilled.find(toLowerAscii(finalComponent(expected)));
            const bool notFilled = it != unfilled.end() && it->second == expected;
            if ((notFilled || cutShort.count(expected)) && listed.insert(expected).second)
                missing.push_back(finalComponent(expected));
        }
        if (missing.empty())
            warnings.emplace_back(str::ProjectDamaged, std::vector<std::string>{path});
        else
            warnings.emplace_back(str::ProjectDamagedFiles, std::vector<std::string>{path, joinNames(missing)});
    }

    document.documentPath = path;
    document.setDirty(false);
    document.loadedDamaged = damaged;
    return {};
}

} // namespace pavonia
