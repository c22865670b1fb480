#pragma once
// The stored fields of ProjectSettings, listed once: the project file's
// record for each (its tag and its place among the project records) and the
// name the command line's description gives it. Saving, loading and the
// command line's JSON all walk this table.
#include "project/Records.h"

#include <array>
#include <cstdint>
#include <string>
#include <variant>

namespace pavonia {

struct ProjectSettingsField {
    enum class Kind {
        Number,        // a whole number, stored as decimal text
        Colour,        // 0x00BBGGRR, stored as unsigned decimal text
        Font,          // the font record's bytes
        Text,          // text in the stored encoding
        File,          // a packed file, stored by its name
        ResolutionKey, // "row_size", stored as text
    };
    using Member = std::variant<std::int32_t ProjectSettings::*, std::uint32_t ProjectSettings::*,
                                FontSpec ProjectSettings::*, std::string ProjectSettings::*>;

    const char* name;        // the description's name
    std::uint32_t tag;       // the record's tag
    int recordIndex;         // its place among the project records of a file
    Kind kind;
    Member member;
    std::int32_t emptyValue; // a Number record with an empty payload reads as this

    template <typename T>
    T& of(ProjectSettings& settings) const
    {
        return settings.*std::get<T ProjectSettings::*>(member);
    }
    template <typename T>
    const T& of(const ProjectSettings& settings) const
    {
        return settings.*std::get<T ProjectSettings::*>(member);
    }
};

// In the order of the ProjectSettings members.
const std::array<ProjectSettingsField, 18>& projectSettingsFields();
// The same fields in the order of their records in a file.
const std::array<const ProjectSettingsField*, 18>& projectSettingsRecords();
// The field stored under `tag`, or null.
const ProjectSettingsField* projectSettingsField(std::uint32_t tag);

} // namespace pavonia
