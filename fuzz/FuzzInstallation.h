#pragma once
// A small installation in a temporary folder for the fuzz targets: the files
// a new session copies, and a system temp folder of its own.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace pavonia::fuzz {

struct FuzzInstallation {
    std::string root;
    std::string folder;
    std::string temp;

    FuzzInstallation()
    {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "pavonia-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        root = pattern + "/";
        folder = root + "install/";
        temp = root + "temp/";
        fs::create_directories(folder + "Temp");
        fs::create_directories(folder + "User");
        fs::create_directories(temp);
        std::ofstream(folder + "default_tjm.tjm") << "face";
        std::ofstream(folder + "default_tps.tps") << "voice";
    }
    // Writes one fuzz input to a file of the installation; returns its path.
    std::string writeInput(const std::uint8_t* data, std::size_t size, const std::string& name) const
    {
        const std::string path = root + name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return path;
    }

    ~FuzzInstallation()
    {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

} // namespace pavonia::fuzz
