#include "TestInstallation.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace pavonia::test {

namespace fs = std::filesystem;

TestInstallation::TestInstallation(bool withData)
{
    std::string pattern = (fs::temp_directory_path() / "pavonia-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    root_ = pattern + "/";
    folder_ = root_ + "install/";
    tempFolder_ = root_ + "systemp/";
    fs::create_directories(folder_);
    fs::create_directories(tempFolder_);
    if (withData)
        fs::copy(PAVONIA_TEST_DATA_DIR, folder_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

TestInstallation::~TestInstallation()
{
    std::error_code ec;
    fs::remove_all(root_, ec);
}

std::string TestInstallation::writeFile(const std::string& relativePath, const std::string& content) const
{
    const fs::path path = fs::path(root_) / relativePath;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << content;
    return path.string();
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

bool exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
}

} // namespace pavonia::test
