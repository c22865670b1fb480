#pragma once
// Writes one file as a cabinet: one folder, one file, MSZIP compression in
// data blocks of at most 32 KiB. The source is read block by block, so a file
// of any size the format allows (about 2 GiB) is never held in memory whole.
// Each block is a deflate stream of its own that may refer back into the
// block before it; a block that deflate would make larger than it is goes
// in as a stored block.
#include "platform/FileOps.h"

#include <cstdint>
#include <functional>
#include <string>

namespace pavonia {

// What a cabinet records of the file it holds.
struct CabinetEntry {
    std::string name;               // the name inside the cabinet
    std::uint16_t dosDate = 0x0021; // 1980-01-01
    std::uint16_t dosTime = 0;
    std::uint16_t attributes = 0;   // read-only, hidden, system, archive
};

// The last-write time of `path` in local time as MS-DOS date and time, and
// its attributes as a cabinet keeps them (read-only when the owner may not
// write it, hidden for a name starting with ".", archive for every file).
// False when the file cannot be examined.
bool describeCabinetEntry(const std::string& path, std::string name, CabinetEntry& entry);

enum class CabinetStatus {
    Ok,
    SourceTooLarge, // more than a cabinet folder can hold
    SourceFailed,   // the source could not be read to its stated size (errno tells why)
    WriteFailed,    // the output could not be written (errno tells why)
    Cancelled,      // the progress callback asked to stop
};

class CabinetWriter {
public:
    // `level` is zlib's compression level, 1..9. Level 3 packs a
    // presentation's mix (text, pictures, voice) faster than the usual 6 and,
    // with the window carried from block to block, still smaller than a
    // writer that starts each block afresh at its default level
    // (bench/bench_cabinet).
    explicit CabinetWriter(int level = 3);
    ~CabinetWriter();
    CabinetWriter(const CabinetWriter&) = delete;
    CabinetWriter& operator=(const CabinetWriter&) = delete;

    // Called after each data block with the source bytes done so far; false
    // stops the writer.
    using Progress = std::function<bool(std::uint64_t bytesDone)>;

    // Reads `size` bytes from the current position of `source` and writes the
    // cabinet at the current position of `out`, leaving `out` positioned
    // after it. `cabinetSize` receives the cabinet's length. On failure what
    // was written stays in `out`; the caller decides what becomes of it.
    CabinetStatus write(FileHandle& source, std::uint64_t size, const CabinetEntry& entry, FileHandle& out,
                        std::uint64_t& cabinetSize, const Progress& progress = {});

    // Opens `sourcePath` and writes its cabinet to `cabinetPath` (replaced).
    CabinetStatus writeFile(const std::string& sourcePath, const CabinetEntry& entry, const std::string& cabinetPath);

private:
    // Compresses one block of `size` bytes from `in` into `block` after its
    // 8-byte header, fills the header and returns the block's whole length.
    std::size_t packBlock(const std::uint8_t* in, std::size_t size, std::uint8_t* block);

    struct Deflater;
    Deflater* deflater_;
};

} // namespace pavonia
