#include "app/ExternalEditors.h"

#include <filesystem>

namespace pavonia {

namespace {
bool isFile(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}
} // namespace

ExternalEditors::ExternalEditors(const Registry& registry)
    : installFolder_(registry.value(RegistryRoot::LocalMachine, kRegistryKey, kInstallPathValue))
{
    if (installFolder_.empty())
        return;
    if (installFolder_.back() != '/' && installFolder_.back() != '\\')
        installFolder_ += '/';
    available_ = isFile(installFolder_ + kFittingEditor) && isFile(installFolder_ + kScriptEditor);
}

} // namespace pavonia
