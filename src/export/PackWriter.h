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
// a failed addFile leaves the pack as it was. Each operation's failure
// carries the message the export shows for it; a failure without a message
// (number 0) means the progress callback cancelled.
#include "export/CabinetWriter.h"
#include "export/PackLayout.h"
#include "platform/FileOps.h"
#include "platform/ReplacingFile.h"
#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pavonia {

class PackWriter {
public:
    PackWriter() = default;
    ~PackWriter();
    PackWriter(const PackWriter&) = delete;
    PackWriter& operator=(const PackWriter&) = delete;

    // Starts a new, empty pack for `workPath`: the trailer alone, no entries,
    // data offset 0. A file of that name is replaced when the pack is closed.
    Result<> create(const std::string& workPath);
    // Appends `sourcePath` as the last entry, compressed, stored under its
    // path without `prefix` when it begins with `prefix` (compared without
    // regard to ASCII case), else under the whole path. A name longer than
    // its field or a file larger than a cabinet holds is refused.
    Result<> addFile(const std::string& sourcePath, const std::string& prefix);
    // Texts longer than their fields are refused.
    Result<> setPlayer(const std::string& name);
    Result<> setCommandLine(const std::string& text);
    // Writes `outputPath` as the stub at `stubPath` followed by the pack with
    // its data offset set to the stub's size, and puts it in place, runnable;
    // the output is then the open file. The work file is dropped with
    // `deleteWork`, else put in place as well.
    Result<> embed(const std::string& outputPath, const std::string& stubPath, bool deleteWork);
    // Closes the open file, putting a work file that was never embedded in
    // place.
    Result<> close();
    // Closes the open file and removes whatever was not yet in place.
    void discard();

    // Called while a file is compressed, with the bytes of it done so far;
    // false cancels addFile.
    void setProgress(CabinetWriter::Progress progress) { progress_ = std::move(progress); }

    bool isOpen() const { return file_ != nullptr; }
    const pack::Trailer& trailer() const { return trailer_; }

    // The name addFile stores for `sourcePath`.
    static std::string storedName(const std::string& sourcePath, const std::string& prefix);

private:
    // Writes the trailer at `offset` and cuts the file to end after it.
    bool writeTrailerAt(std::uint64_t offset);
    Result<> setText(std::string pack::Trailer::*field, const std::string& text);

    std::optional<ReplacingFile> work_; // the pack while it is a work file
    FileHandle output_;                 // the executable, once embedded
    FileHandle* file_ = nullptr;        // whichever of the two is open
    std::uint64_t entriesEnd_ = 0;      // the file offset of the trailer
    pack::Trailer trailer_;
    CabinetWriter cabinets_;
    CabinetWriter::Progress progress_;
};

} // namespace pavonia
