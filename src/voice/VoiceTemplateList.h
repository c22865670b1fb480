#pragma once
// The voice templates: named filter settings kept in "voicefilter.ini" in the
// installation folder. At most 256 saved templates, plus at most one unsaved
// custom template after them, which holds the settings the user is trying
// out until they are saved under a name or dropped.
//
// File layout: section "Common" with "Total" (saved templates), "CustomFlag"
// (1 when the custom template follows them) and "CustomIndex" (the custom
// template's index, equal to "Total"); then one section "Filter-%d" per
// template, numbered from 0, with "Name", "Effect", "Pitchscale",
// "Headsize", "Robot" and "Echo".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavonia {

struct VoiceTemplate {
    std::string name;     // at most kNameBytes bytes
    uint32_t effects = 0; // VoiceEffect bits
    int32_t pitchScale = 0;
    int32_t headSize = 50;
    int32_t robot = 0;
    int32_t echo = 0;

    friend bool operator==(const VoiceTemplate&, const VoiceTemplate&) = default;
};

class VoiceTemplateList {
public:
    static constexpr int kMaxSaved = 256;
    static constexpr std::size_t kNameBytes = 31;
    static constexpr const char* kFileName = "voicefilter.ini";

    // `installFolder` ends with "/".
    explicit VoiceTemplateList(const std::string& installFolder);
    const std::string& path() const { return path_; }

    // Replaces the list with the file's templates. A missing file gives an
    // empty list; more than 256 saved templates are cut to the first 256; a
    // custom template whose index is not "Total" is not read.
    void read();
    // Sorts the saved templates by name (ASCII case ignored, equal names
    // keeping their order) and writes the whole list. False when the file
    // could not be written.
    bool write();

    int savedCount() const { return int(saved_.size()); }
    bool hasCustom() const { return custom_.has_value(); }
    int count() const { return savedCount() + (hasCustom() ? 1 : 0); }
    bool full() const { return savedCount() >= kMaxSaved; }
    // Template i: the saved ones first, then the custom one.
    const VoiceTemplate& at(int i) const;
    VoiceTemplate& at(int i);
    bool isCustom(int i) const { return hasCustom() && i == savedCount(); }

    // The index of a template with this name (ASCII case ignored), or nothing.
    // The custom template is looked at only with `withCustom`.
    std::optional<int> find(std::string_view name, bool withCustom = true) const;
    // "Custom-%d" with the smallest number from 1 that no template uses.
    std::string freeCustomName() const;

    // Makes a custom template with a free name and `values`' settings; it
    // takes index savedCount(). False when one exists already or the saved
    // templates are full.
    bool createCustom(const VoiceTemplate& values);
    void dropCustom() { custom_.reset(); }
    // Adds a saved template after the others. False when full.
    bool addSaved(VoiceTemplate t);
    void removeSaved(int i);

    // A name as a template keeps it: at most kNameBytes bytes, not cutting a
    // UTF-8 character in two.
    static std::string fitName(std::string_view name);

private:
    std::string path_;
    std::vector<VoiceTemplate> saved_;
    std::optional<VoiceTemplate> custom_;
};

} // namespace pavonia
