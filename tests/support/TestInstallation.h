#pragma once
// A throw-away installation for one test: a fresh temporary folder holding a
// copy of the installation data (or a small fixture), its own system temp
// folder, a fixed clock and an empty registry.
#include "platform/Clock.h"
#include "platform/Registry.h"

#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace pavonia::test {

class FixedClock final : public Clock {
public:
    std::uint32_t tickCount() const override { return ticks; }
    std::tm localNow() const override { return now; }
    std::uint32_t ticks = 1000;
    std::tm now = [] {
        std::tm t{};
        t.tm_year = 2004 - 1900;
        t.tm_mon = 11;
        t.tm_mday = 31;
        t.tm_hour = 15;
        t.tm_min = 30;
        return t;
    }();
};

class MapRegistry final : public Registry {
public:
    std::string value(RegistryRoot root, const std::string& key, const std::string& name) const override
    {
        auto it = values.find(std::to_string(static_cast<int>(root)) + "|" + key + "|" + name);
        return it == values.end() ? std::string() : it->second;
    }
    void set(RegistryRoot root, const std::string& key, const std::string& name, const std::string& value)
    {
        values[std::to_string(static_cast<int>(root)) + "|" + key + "|" + name] = value;
    }
    std::map<std::string, std::string> values;
};

class TestInstallation {
public:
    // With `withData`, the installation data of the build is copied in.
    explicit TestInstallation(bool withData = true);
    ~TestInstallation();
    TestInstallation(const TestInstallation&) = delete;
    TestInstallation& operator=(const TestInstallation&) = delete;

    const std::string& folder() const { return folder_; }         // ends with "/"
    const std::string& tempFolder() const { return tempFolder_; } // ends with "/"
    const std::string& root() const { return root_; }             // ends with "/"
    // Writes a file (creating folders) and returns its path.
    std::string writeFile(const std::string& relativePath, const std::string& content) const;

private:
    std::string root_;
    std::string folder_;
    std::string tempFolder_;
};

std::string readFile(const std::string& path);
// The names of a folder's entries.
std::set<std::string> namesIn(const std::string& folder);
// True for any directory entry, a dangling link too.
bool exists(const std::string& path);

} // namespace pavonia::test
