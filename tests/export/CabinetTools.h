#pragma once
// Cabinets checked with two independent readers, cabextract and gcab, and
// test contents that exercise the block boundaries and both block kinds.
#include "RunCommand.h"
#include "TestInstallation.h"

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

namespace pavonia::test {

inline bool haveCabinetReaders()
{
    return runCommand("command -v cabextract >/dev/null && command -v gcab >/dev/null && echo yes").out == "yes\n";
}

// Bytes that deflate cannot shrink.
inline std::string randomBytes(std::size_t size, std::uint32_t seed = 7)
{
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator());
    return bytes;
}

// Text that compresses well, with repeats far enough apart to reach into
// the block before.
inline std::string proseBytes(std::size_t size)
{
    std::string text;
    for (int line = 0; text.size() < size; ++line)
        text += "Slide " + std::to_string(line % 97) + ": the speaking face says its line number " +
                std::to_string(line) + ".\n";
    text.resize(size);
    return text;
}

// What cabextract and gcab each extract from `cabinet` as its one file
// "tempcab.cb"; empty with a note in `problem` when either fails.
struct Extracted {
    std::string byCabextract;
    std::string byGcab;
    std::string problem;
};

inline Extracted extractBoth(const std::string& cabinet, const std::string& scratch)
{
    namespace fs = std::filesystem;
    Extracted result;
    fs::remove_all(scratch);
    fs::create_directories(scratch + "/c");
    fs::create_directories(scratch + "/g");
    if (runCommand("cabextract -q -d '" + scratch + "/c' '" + cabinet + "' 2>&1").status != 0)
        result.problem += "cabextract failed; ";
    if (runCommand("gcab -x -C '" + scratch + "/g' '" + cabinet + "' 2>&1").status != 0)
        result.problem += "gcab failed; ";
    result.byCabextract = readFile(scratch + "/c/tempcab.cb");
    result.byGcab = readFile(scratch + "/g/tempcab.cb");
    return result;
}

} // namespace pavonia::test
