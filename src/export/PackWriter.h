#pragma once
// Writes a pack (see PackLayout.h): starts it in a work file, appends each
// file compressed as a cabinet of its own, names the program to run after
// unpacking and its command line, and finally writes the executable as the
// stub followed by the pack.
//
// The files are written through a temporary beside their final name and put
// in place whole: the work file when the pack is closed, the executable when
// it is embedded. The trailer of the open file is current after every
// operation, so an interrupted pack is well formed up to its last entry, and
// a failed addFile leaves the pack as it was.
#include "export/CabinetWriter.h"
#include "export/PackLayout.h"
#include "platform/FileOps.h"

#include <cstdint>
#include <functional>
#include <string>

namespace pavonia {

enum class PackStatus {
    Ok,
    NotOpen,        // no pack is open
    CannotCreate,   // the file cannot be created (errno tells why)
    NameTooLong,    // the stored name does not fit its field
    TextTooLong,    // the player name or command line does not fit its field
    SourceFailed,   // the file to add cannot be read (errno tells why)
    SourceTooLarge, // the file to add is larger than a cabinet holds
    WriteFailed,    // the pack or the executable cannot be written (errno tells why)
    StubFailed,     // the stub cannot be read (errno tells why)
    Cancelled,      // the progress callback asked to stop
};

class PackWriter {
public:
    PackWriter() = default;
    ~PackWriter();
    PackWriter(const PackWriter&) = delete;
    PackWriter& operator=(const PackWriter&) = delete;

    // Starts a new, empty pack for `workPath`: the trailer alone, no entries,
    // data offset 0. A file of that name is replaced when the pack is closed.
    PackStatus create(const std::string& workPath);
    // Appends `sourcePath` as the last entry, compressed, stored under its
    // path without `prefix` when it begins with `prefix` (compared without
    // regard to ASCII case), else under the whole path.
    PackStatus addFile(const std::string& sourcePath, const std::string& prefix);
    PackStatus setPlayer(const std::string& name);
    PackStatus setCommandLine(const std::string& text);
    // Writes `outputPath` as the stub at `stubPath` followed by the pack with
    // its data offset set to the stub's size, and puts it in place; the
    // output is then the open file. The work file is dropped with
    // `deleteWork`, else put in place as well.
    PackStatus embed(const std::string& outputPath, const std::string& stubPath, bool deleteWork);
    // Closes the open file, putting a work file that was never embedded in
    // place. False when that fails (errno tells why).
    bool close();
    // Closes the open file and removes whatever was not yet in place.
    void discard();

    // Called while a file is compressed, with the bytes of it done so far;
    // false cancels addFile.
    void setProgress(CabinetWriter::Progress progress) { progress_ = std::move(progress); }

    bool isOpen() const { return file_.valid(); }
    const pack::Trailer& trailer() const { return trailer_; }

    // The name addFile stores for `sourcePath`.
    static std::string storedName(const std::string& sourcePath, const std::string& prefix);

private:
    // Writes the trailer at `offset` and cuts the file to end after it.
    bool writeTrailerAt(std::uint64_t offset);
    PackStatus rewriteTrailer();
    // Puts the open temporary file in place under `path_`.
    bool commit();

    FileHandle file_;
    std::string path_;        // the name the open file is put in place under
    std::string temporary_;   // where it is written until then; empty once in place
    std::uint64_t entriesEnd_ = 0; // the file offset of the trailer
    pack::Trailer trailer_;
    CabinetWriter cabinets_;
    CabinetWriter::Progress progress_;
};

} // namespace pavonia
