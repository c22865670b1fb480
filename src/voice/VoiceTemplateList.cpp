#include "voice/VoiceTemplateList.h"

#include "platform/IniFile.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

#include <algorithm>
#include <utility>

namespace pavonia {

namespace {
constexpr const char* kCommon = "Common";

std::string sectionOf(int i) { return "Filter-" + std::to_string(i); }

bool nameBefore(const VoiceTemplate& a, const VoiceTemplate& b)
{
    return toLowerAscii(a.name) < toLowerAscii(b.name);
}
} // namespace

VoiceTemplateList::VoiceTemplateList(const std::string& installFolder)
    : path_(installFolder + kFileName)
{
}

const VoiceTemplate& VoiceTemplateList::at(int i) const
{
    return isCustom(i) ? *custom_ : saved_.at(std::size_t(i));
}

VoiceTemplate& VoiceTemplateList::at(int i)
{
    return isCustom(i) ? *custom_ : saved_.at(std::size_t(i));
}

std::string VoiceTemplateList::fitName(std::string_view name)
{
    if (name.size() <= kNameBytes)
        return std::string(name);
    std::size_t cut = kNameBytes;
    while (cut > 0 && (uint8_t(name[cut]) & 0xC0) == 0x80) // inside a UTF-8 character
        --cut;
    return std::string(name.substr(0, cut));
}

void VoiceTemplateList::read()
{
    saved_.clear();
    custom_.reset();
    const IniFile ini(path_);
    const int total = std::clamp(ini.readInt(kCommon, "Total", 0), 0, kMaxSaved);
    const bool custom = ini.readInt(kCommon, "CustomFlag", 0) != 0 &&
                        ini.readInt(kCommon, "CustomIndex", 0) == total;
    for (int i = 0; i < total + (custom ? 1 : 0); ++i) {
        const std::string section = sectionOf(i);
        VoiceTemplate t;
        auto name = ini.readText(section, "Name");
        t.name = name ? fitName(*name) : freeCustomName();
        t.effects = uint32_t(ini.readInt(section, "Effect", 0));
        t.pitchScale = ini.readInt(section, "Pitchscale", 0);
        t.headSize = ini.readInt(section, "Headsize", 50);
        t.robot = ini.readInt(section, "Robot", 0);
        t.echo = ini.readInt(section, "Echo", 0);
        if (i < total)
            saved_.push_back(std::move(t));
        else
            custom_ = std::move(t);
    }
}

bool VoiceTemplateList::write()
{
    // Templates whose names differ only in case keep their order.
    std::stable_sort(saved_.begin(), saved_.end(), nameBefore);

    IniFile ini(path_);
    bool ok = ini.writeInt(kCommon, "Total", savedCount());
    ok = ini.writeInt(kCommon, "CustomFlag", hasCustom() ? 1 : 0) && ok;
    ok = ini.writeInt(kCommon, "CustomIndex", savedCount()) && ok;
    for (int i = 0; i < count(); ++i) {
        const VoiceTemplate& t = at(i);
        const std::string section = sectionOf(i);
        ok = ini.writeText(section, "Name", t.name) && ok;
        ok = ini.writeInt(section, "Effect", int(t.effects)) && ok;
        ok = ini.writeInt(section, "Pitchscale", t.pitchScale) && ok;
        ok = ini.writeInt(section, "Headsize", t.headSize) && ok;
        ok = ini.writeInt(section, "Robot", t.robot) && ok;
        ok = ini.writeInt(section, "Echo", t.echo) && ok;
    }
    return ok;
}

std::optional<int> VoiceTemplateList::find(std::string_view name, bool withCustom) const
{
    for (int i = 0; i < count(); ++i) {
        if (isCustom(i) && !withCustom)
            continue;
        if (equalsIgnoreCase(at(i).name, name))
            return i;
    }
    return std::nullopt;
}

std::string VoiceTemplateList::freeCustomName() const
{
    for (int n = 1;; ++n) {
        std::string name = StringTable::format(str::VoiceTemplateCustomName, {std::to_string(n)});
        if (!find(name))
            return name;
    }
}

bool VoiceTemplateList::createCustom(const VoiceTemplate& values)
{
    if (hasCustom() || full())
        return false;
    VoiceTemplate t = values;
    t.name = freeCustomName();
    custom_ = std::move(t);
    return true;
}

bool VoiceTemplateList::addSaved(VoiceTemplate t)
{
    if (full())
        return false;
    t.name = fitName(t.name);
    saved_.push_back(std::move(t));
    return true;
}

void VoiceTemplateList::removeSaved(int i)
{
    if (i >= 0 && i < savedCount())
        saved_.erase(saved_.begin() + i);
}

} // namespace pavonia
