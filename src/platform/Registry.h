#pragma once
// The few system registry values the program reads. On this platform they are
// configuration inputs kept in "Registry.ini" in the installation folder:
// one section per key, named by root and key path as a .reg file writes them,
// for example
//     [HKEY_LOCAL_MACHINE\Software\Nimbari\Pavonia\1.0]
//     Install Path=/opt/pavonia-extras
// "@" names a key's default value. An absent value reads as an empty text.
#include <string>
#include <vector>

namespace pavonia {

enum class RegistryRoot { LocalMachine, CurrentUser, ClassesRoot };

class Registry {
public:
    virtual ~Registry() = default;
    virtual std::string value(RegistryRoot root, const std::string& key, const std::string& name) const = 0;
};

// A registry holding no values.
class EmptyRegistry final : public Registry {
public:
    std::string value(RegistryRoot, const std::string&, const std::string&) const override { return {}; }
};

class IniRegistry final : public Registry {
public:
    explicit IniRegistry(std::string iniPath) : iniPaths_{std::move(iniPath)} {}
    // Several files, looked at in turn: a value comes from the first that
    // holds it (the user's own file before the installation's).
    explicit IniRegistry(std::vector<std::string> iniPaths) : iniPaths_(std::move(iniPaths)) {}
    static std::string fileName() { return "Registry.ini"; }
    std::string value(RegistryRoot root, const std::string& key, const std::string& name) const override;

private:
    std::vector<std::string> iniPaths_;
};

} // namespace pavonia
