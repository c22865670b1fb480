#pragma once
// The sibling product whose editors edit talking images and talking messages.
// Its installation is found through the registry value "Install Path" under
// "Software\Nimbari\Quibbit\3.0\" (local machine); the editors count as
// available when both "Editor/fitting.exe" and "Editor/scripteditor.exe" are
// there. Decided once, when constructed.
#include "platform/Registry.h"

#include <string>

namespace pavonia {

class ExternalEditors {
public:
    static constexpr const char* kRegistryKey = "Software\\Nimbari\\Quibbit\\3.0\\";
    static constexpr const char* kInstallPathValue = "Install Path";
    static constexpr const char* kFittingEditor = "Editor/fitting.exe";
    static constexpr const char* kScriptEditor = "Editor/scripteditor.exe";

    explicit ExternalEditors(const Registry& registry);

    bool available() const { return available_; }
    // The sibling product's installation folder with a trailing "/"; empty
    // when the registry names none.
    const std::string& installFolder() const { return installFolder_; }

private:
    std::string installFolder_;
    bool available_ = false;
};

} // namespace pavonia
