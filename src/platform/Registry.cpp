#include "platform/Registry.h"

#include "platform/IniFile.h"

namespace pavonia {

namespace {
std::string rootName(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RegistryRoot::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    }
    return {};
}
} // namespace

std::string IniRegistry::value(RegistryRoot root, const std::string& key, const std::string& name) const
{
    std::string section = rootName(root) + "\\" + key;
    while (!section.empty() && section.back() == '\\')
        section.pop_back();
    for (const std::string& path : iniPaths_) {
        const IniFile file(path);
        std::string value = file.readText(section, name.empty() ? "@" : name, "");
        if (!value.empty())
            return value;
    }
    return {};
}

} // namespace pavonia
