#include "templates/TemplateLibrary.h"

#include "platform/IniFile.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "templates/CaseBlindPath.h"

#include <algorithm>
#include <limits>

namespace pavonia {

namespace {

constexpr const char* kStandardPrefix = "Style";
constexpr const char* kCustomPrefix = "stylec";
constexpr const char* kSpecialFolder = "Special";
constexpr const char* kInfoIni = "info.ini";
constexpr const char* kThumbnail = "ui.jpg";
// A catalogue count above this is read as this: a damaged count must not make
// the list endless.
constexpr int kMaxCatalogueIndex = 999;
// Descriptions were read into buffers of 260 characters.
constexpr std::size_t kDescriptionLimit = 259;

// Cut to the description buffer, never inside a UTF-8 character.
std::string limitedDescription(std::string text)
{
    if (text.size() <= kDescriptionLimit)
        return text;
    std::size_t cut = kDescriptionLimit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    return text;
}

bool isCustomNumber(int styleNumber) { return styleNumber >= kFirstCustomStyle; }

// "Style" + n below 1000, "stylec" + (n - 999) from 1000 on.
std::string styleFolderName(int styleNumber)
{
    if (isCustomNumber(styleNumber))
        return kCustomPrefix + std::to_string(styleNumber - (kFirstCustomStyle - 1));
    return kStandardPrefix + std::to_string(styleNumber);
}

// A size part names one folder; anything that would lead elsewhere is refused.
bool isSafeFolderName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\\') == std::string_view::npos;
}

std::vector<int> sortedUnique(std::vector<int> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

} // namespace

std::vector<std::string> splitText(std::string_view text, std::string_view delimiter)
{
    std::vector<std::string> pieces;
    if (delimiter.empty() || text.find(delimiter) == std::string_view::npos)
        return pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(delimiter, start);
        if (at == std::string_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, at - start));
        start = at + delimiter.size();
    }
}

bool ResolutionKey::special() const { return equalsIgnoreCase(kind, "-1"); }

std::optional<ResolutionKey> ResolutionKey::parse(std::string_view key)
{
    const std::vector<std::string> parts = splitText(key, "_");
    if (parts.size() < 2)
        return std::nullopt;
    return ResolutionKey{parts[0], parts[1]};
}

TemplateLibrary::TemplateLibrary(std::string installationFolder, Ui& ui)
    : installationFolder_(std::move(installationFolder)), ui_(ui)
{
    if (!installationFolder_.empty() && installationFolder_.back() != '/')
        installationFolder_ += '/';
    root_ = resolveCaseBlind(installationFolder_, "Template") + "/";
}

void TemplateLibrary::show(const std::string& text) const
{
    showMessage(ui_, text);
}

std::string TemplateLibrary::cataloguePath() const { return resolveCaseBlind(root_, "Pavonia.ini"); }

std::string TemplateLibrary::layoutIniPath(int layout) const
{
    return resolveCaseBlind(root_, "Layout/L" + std::to_string(layout) + ".ini");
}

std::string TemplateLibrary::layoutThumbnailPath(int layout) const
{
    return resolveCaseBlind(root_, "Layout/L" + std::to_string(layout) + ".jpg");
}

std::string TemplateLibrary::styleFolder(int styleNumber, bool special) const
{
    const std::string name = styleFolderName(styleNumber);
    return resolveCaseBlind(root_, special ? std::string(kSpecialFolder) + "/" + name : name) + "/";
}

std::optional<TemplatePaths> TemplateLibrary::ResolveTemplatePaths(int styleNumber, int layoutNumber,
                                                                   std::string_view resolutionKey) const
{
    const std::optional<ResolutionKey> key = ResolutionKey::parse(resolutionKey);
    if (!key || !isSafeFolderName(key->size))
        return std::nullopt;
    TemplatePaths paths;
    paths.styleFolder = styleFolder(styleNumber, key->special());
    paths.layoutFolder = resolveCaseBlind(paths.styleFolder, "L" + std::to_string(layoutNumber)) + "/";
    paths.resolutionFolder = resolveCaseBlind(paths.layoutFolder, key->size) + "/";
    paths.pageTemplate = resolveCaseBlind(paths.resolutionFolder, "Template.htm");
    paths.previewPicture = resolveCaseBlind(paths.layoutFolder, "Preview.jpg");
    paths.previewMask = resolveCaseBlind(paths.layoutFolder, "Preview_mask.bmp");
    return paths;
}

std::optional<TemplatePaths> TemplateLibrary::ResolveTemplatePaths(const ProjectSettings& project) const
{
    return ResolveTemplatePaths(project.styleNumber, project.layoutNumber, project.resolutionKey);
}

ResolutionList TemplateLibrary::ListResolutions(ResolutionCatalogue catalogue) const
{
    ResolutionList list;
    const std::string path = cataloguePath();
    if (!isFile(path)) {
        show(StringTable::format(str::IniFileLost, {path}));
        return list;
    }
    const IniFile ini(path);
    const bool custom = catalogue == ResolutionCatalogue::Custom;
    const std::string section = custom ? "Custom" : "TempSize";
    const std::string keyPrefix = custom ? "Custom" : "Temp";
    const int count = std::min(ini.readInt("Global", custom ? "CustomCount" : "TempSizeCount", 0),
                               kMaxCatalogueIndex);
    for (int i = 0; i <= count; ++i) {
        const std::optional<std::string> value = ini.readText(section, keyPrefix + std::to_string(i));
        if (!value)
            continue;
        const std::vector<std::string> pieces = splitText(*value, ",");
        if (pieces.empty())
            continue;
        list.rows.push_back({trimmed(pieces[0]), parseClampedInt(trimmed(pieces[1]))});
    }
    for (std::size_t row = 0; row < list.rows.size(); ++row)
        if (list.rows[row].value == 800)
            list.preselected = static_cast<int>(row);
    return list;
}

std::vector<CatalogueRow> TemplateLibrary::buildStyleRows(const std::vector<int>& numbers, bool special,
                                                          const std::map<std::string, std::string>& descriptions) const
{
    std::vector<CatalogueRow> rows;
    for (const int number : numbers) {
        const std::string folder = styleFolder(number, special);
        const std::string thumbnail = resolveCaseBlind(folder, kThumbnail);
        const std::string info = resolveCaseBlind(folder, kInfoIni);
        if (!isFolder(folder) || !isFile(thumbnail) || !isFile(info))
            continue;
        const auto known = descriptions.find(info);
        rows.push_back({number,
                        limitedDescription(known != descriptions.end() ? known->second
                                                                      : IniFile(info).readText("Style", "Description", "")),
                        thumbnail});
    }
    return rows;
}

std::vector<CatalogueRow> TemplateLibrary::ListStylesForSize(int size) const
{
    const std::string sizeText = std::to_string(size);
    std::vector<int> numbers;
    // Each info.ini is read once, for its sizes and its description.
    std::map<std::string, std::string> descriptions;
    for (const std::string& name : matchingEntries(root_, std::string(kStandardPrefix) + "*")) {
        const std::string folder = root_ + name + "/";
        const std::string info = resolveCaseBlind(folder, kInfoIni);
        if (!isFile(info) || !isFile(resolveCaseBlind(folder, kThumbnail)))
            continue;
        const IniFile ini(info);
        descriptions[info] = ini.readText("Style", "Description", "");
        const std::optional<std::string> supported = ini.readText("Style", "SupportSize");
        if (!supported)
            continue;
        const std::vector<std::string> sizes = splitText(*supported, ",");
        bool matches = false;
        if (sizes.empty())
            matches = equalsIgnoreCase(*supported, sizeText);
        for (const std::string& piece : sizes)
            matches = matches || equalsIgnoreCase(trimmed(piece), sizeText);
        if (!matches)
            continue;
        // "Style*" also finds the custom "stylec" folders; they are not standard styles.
        const std::string rest = name.substr(std::string_view(kStandardPrefix).size());
        if (!rest.empty() && (rest[0] == 'c' || rest[0] == 'C'))
            continue;
        numbers.push_back(parseClampedInt(rest));
    }
    if (numbers.empty()) {
        show(StringTable::text(str::NoStyleListItem));
        return {};
    }
    return buildStyleRows(sortedUnique(std::move(numbers)), false, descriptions);
}

std::vector<CatalogueRow> TemplateLibrary::ListSpecialStyles(bool custom) const
{
    const std::string folder = resolveCaseBlind(root_, kSpecialFolder) + "/";
    const std::string prefix = custom ? kCustomPrefix : kStandardPrefix;
    std::vector<int> numbers;
    for (const std::string& name : matchingEntries(folder, prefix + "*")) {
        const std::string entry = folder + name + "/";
        if (!isFile(resolveCaseBlind(entry, kInfoIni)) || !isFile(resolveCaseBlind(entry, kThumbnail)))
            continue;
        if (!custom && toLowerAscii(name).find(kCustomPrefix) != std::string::npos)
            continue;
        const int number = parseClampedInt(std::string_view(name).substr(prefix.size()));
        numbers.push_back(custom ? number + (kFirstCustomStyle - 1) : number);
    }
    if (numbers.empty()) {
        show(StringTable::text(str::NoSpecialStyleListItem));
        return {};
    }
    return buildStyleRows(sortedUnique(std::move(numbers)), true);
}

std::vector<CatalogueRow> TemplateLibrary::ListCustomStyles() const
{
    std::vector<int> numbers;
    for (const std::string& name : matchingEntries(root_, std::string(kCustomPrefix) + "*")) {
        const std::string folder = root_ + name + "/";
        if (!isFile(resolveCaseBlind(folder, kInfoIni)) || !isFile(resolveCaseBlind(folder, kThumbnail)))
            continue;
        numbers.push_back(parseClampedInt(std::string_view(name).substr(std::string_view(kCustomPrefix).size())) +
                          (kFirstCustomStyle - 1));
    }
    if (numbers.empty()) {
        show(StringTable::text(str::NoCustomStyleListItem));
        return {};
    }
    return buildStyleRows(sortedUnique(std::move(numbers)), false);
}

std::vector<CatalogueRow> TemplateLibrary::ListLayouts() const
{
    const std::string folder = resolveCaseBlind(root_, "Layout") + "/";
    std::vector<int> numbers;
    for (const std::string& name : matchingEntries(folder, "*.jpg")) {
        const std::string title = baseNameOf(name);
        if (!isFile(resolveCaseBlind(folder, title + ".ini")))
            continue;
        numbers.push_back(parseClampedInt(std::string_view(title).substr(title.empty() ? 0 : 1)));
    }
    if (numbers.empty()) {
        show(StringTable::text(str::NoLayoutListItem));
        return {};
    }
    std::vector<CatalogueRow> rows;
    for (const int number : sortedUnique(std::move(numbers))) {
        const std::string thumbnail = layoutThumbnailPath(number);
        const std::string ini = layoutIniPath(number);
        if (!isFile(thumbnail) || !isFile(ini))
            continue;
        rows.push_back({number, limitedDescription(IniFile(ini).readText("Layout", "Description", "")), thumbnail});
    }
    return rows;
}

std::optional<StoredKeyRow> selectRowForStoredKey(const ResolutionList& list, std::string_view key, Ui& ui)
{
    const std::optional<ResolutionKey> parsed = ResolutionKey::parse(key);
    if (!parsed) {
        showMessage(ui, StringTable::text(str::ResolutionErrorListDialog));
        return std::nullopt;
    }
    StoredKeyRow choice;
    choice.number = parsed->special() ? -1 : parseClampedInt(parsed->size);
    for (std::size_t row = 0; row < list.rows.size(); ++row) {
        if (list.rows[row].value == choice.number) {
            choice.row = static_cast<int>(row);
            break;
        }
    }
    return choice;
}

std::vector<CatalogueRow> TemplateLibrary::listStylesForStoredKey(ResolutionCatalogue catalogue, int number) const
{
    const bool custom = catalogue == ResolutionCatalogue::Custom;
    if (number == -1)
        return ListSpecialStyles(custom);
    return custom ? ListCustomStyles() : ListStylesForSize(number);
}

std::vector<CatalogueRow> TemplateLibrary::listStylesForRow(ResolutionCatalogue catalogue, int value) const
{
    if (value <= 0)
        return ListSpecialStyles(catalogue == ResolutionCatalogue::Custom);
    if (value == 1)
        return ListCustomStyles();
    return ListStylesForSize(value);
}

std::string TemplateLibrary::ReadSupportSize(int styleNumber, bool special) const
{
    const std::string info = resolveCaseBlind(styleFolder(styleNumber, special), kInfoIni);
    if (!isFile(info)) {
        show(StringTable::format(str::IniFileLost, {info}));
        return {};
    }
    const std::optional<std::string> size = IniFile(info).readText("Style", "SupportSize");
    if (!size) {
        show(StringTable::text(str::GetSupportSizeError));
        return {};
    }
    return *size;
}

std::optional<LayoutBehaviour> TemplateLibrary::ReadLayoutBehaviour(int layout) const
{
    const std::string path = layoutIniPath(layout);
    if (!isFile(path)) {
        show(StringTable::format(str::IniFileLost, {path}));
        return std::nullopt;
    }
    const IniFile ini(path);
    LayoutBehaviour behaviour;
    behaviour.autoPlay = ini.readInt("Template", "AutoPlay", 1);
    behaviour.autoLoop = ini.readInt("Template", "AutoLoop", 0);
    behaviour.autoJump = ini.readInt("Template", "AutoJump", 1);
    return behaviour;
}

bool TemplateLibrary::ReadLayoutLayers(int layout, LayoutLayers& layers) const
{
    const std::string path = layoutIniPath(layout);
    if (!isFile(path)) {
        show(StringTable::format(str::IniFileLost, {path}));
        return false;
    }
    const IniFile ini(path);
    layers.subTopic = ini.readInt("Layer", "SubTopicLayer", 1);
    layers.description = ini.readInt("Layer", "DescriptionLayer", 1);
    layers.effect = ini.readInt("Layer", "EffectLayer", 1);
    return true;
}

std::string TemplateLibrary::formResolutionKey(std::optional<int> rowValue, int styleNumber) const
{
    if (!rowValue)
        return kDefaultResolutionKey;
    if (*rowValue == -1)
        return "-1_" + ReadSupportSize(styleNumber, true);
    if (*rowValue == 1)
        return "1_" + ReadSupportSize(styleNumber, false);
    return "0_" + std::to_string(*rowValue);
}

void TemplateLibrary::ValidateTemplateSelection(ProjectSettings& project, LayoutLayers& layers) const
{
    std::optional<ResolutionKey> key = ResolutionKey::parse(project.resolutionKey);
    if (!key) {
        project.resolutionKey = kDefaultResolutionKey;
        key = ResolutionKey::parse(project.resolutionKey);
    }
    // A folder "matches" when it exists: listing an existing folder always
    // yields at least its own entry.
    if (!isFolder(styleFolder(project.styleNumber, key->special()))) {
        show(StringTable::text(str::StyleMissing));
        project.styleNumber = 0;
    }
    const std::string layoutFolder =
        resolveCaseBlind(styleFolder(project.styleNumber, key->special()), "L" + std::to_string(project.layoutNumber));
    if (!isFile(layoutIniPath(project.layoutNumber)) || !isFolder(layoutFolder)) {
        show(StringTable::text(str::LayoutMissing));
        project.layoutNumber = 0;
    }
    const std::optional<TemplatePaths> paths = ResolveTemplatePaths(project);
    if (!paths || !isFolder(paths->resolutionFolder)) {
        show(StringTable::text(str::ResolutionMissing));
        project.resolutionKey = kDefaultResolutionKey;
    }
    ReadLayoutLayers(project.layoutNumber, layers);
}

void TemplateLibrary::ValidateLayoutForStyle(ProjectSettings& project, LayoutLayers& layers) const
{
    const std::optional<ResolutionKey> key = ResolutionKey::parse(project.resolutionKey);
    if (!key)
        return;
    const std::string folder = styleFolder(project.styleNumber, key->special());
    if (!key->special()) {
        if (!isFolder(resolveCaseBlind(folder, "L" + std::to_string(project.layoutNumber)))) {
            project.layoutNumber = 0;
            ReadLayoutLayers(0, layers);
        }
        return;
    }
    // A special style brings its own layout: its first layout folder, "L"
    // and a number. Other entries starting with "L" are not layouts.
    for (const std::string& name : matchingEntries(folder, "L*")) {
        const std::string_view digits = std::string_view(name).substr(1);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos ||
            !isFolder(folder + name))
            continue;
        project.layoutNumber = parseClampedInt(digits);
        ReadLayoutLayers(project.layoutNumber, layers);
        return;
    }
}

} // namespace pavonia
