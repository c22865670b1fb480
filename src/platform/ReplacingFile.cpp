#include "platform/ReplacingFile.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pavonia {

ReplacingFile::ReplacingFile(std::string target) : target_(std::move(target))
{
    const std::filesystem::path path(target_);
    temporary_ = (path.parent_path() / ("." + path.filename().string() + ".saving-XXXXXX")).string();
    out_ = FileHandle(::mkstemp(temporary_.data()));
    if (!out_.valid()) {
        error_ = errno;
        temporary_.clear();
    }
}

ReplacingFile::~ReplacingFile() { discard(); }

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)),
      out_(std::move(other.out_)),
      error_(other.error_),
      committed_(other.committed_)
{
    other.temporary_.clear();
}

ReplacingFile& ReplacingFile::operator=(ReplacingFile&& other) noexcept
{
    if (this != &other) {
        discard();
        target_ = std::move(other.target_);
        temporary_ = std::move(other.temporary_);
        out_ = std::move(other.out_);
        error_ = other.error_;
        committed_ = other.committed_;
        other.temporary_.clear();
    }
    return *this;
}

void ReplacingFile::discard()
{
    if (temporary_.empty() || committed_)
        return;
    out_ = FileHandle();
    ::unlink(temporary_.c_str());
    temporary_.clear();
}

void ReplacingFile::noteFailure(int error)
{
    if (error_ == 0)
        error_ = error;
}

bool ReplacingFile::failed()
{
    noteFailure(errno);
    return false;
}

bool ReplacingFile::write(std::string_view bytes)
{
    if (!valid())
        return false;
    return out_.writeAll(bytes.data(), bytes.size()) || failed();
}

bool ReplacingFile::commit()
{
    if (!valid())
        return false;
    struct stat previous {};
    const mode_t mode = ::stat(target_.c_str(), &previous) == 0 ? previous.st_mode & 07777 : 0644;
    if (::fchmod(out_.get(), mode) != 0 || !out_.close() || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        failed();
        discard();
        return false;
    }
    committed_ = true;
    return true;
}

} // namespace pavonia
