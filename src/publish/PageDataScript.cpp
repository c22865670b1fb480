#include "publish/PageDataScript.h"

#include "platform/FileOps.h"
#include "platform/Text.h"

#include <openssl/evp.h>

#include <filesystem>

namespace pavonia::pagedata {

std::string scriptName(const std::string& fileName)
{
    return fileName + ".js";
}

std::string script(const Json& object)
{
    // Names from other systems may not be valid UTF-8: such bytes become
    // replacement characters instead of stopping the script.
    return "(window.PavoniaData = window.PavoniaData || []).push(" +
           object.dump(-1, ' ', false, Json::error_handler_t::replace) + ");\n";
}

Json header(const char* kind, const std::string& fileName)
{
    Json json;
    json["kind"] = kind;
    json["format"] = 1;
    json["file"] = fileName;
    return json;
}

std::string base64(std::string_view bytes)
{
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                       reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    out.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return out;
}

bool fileExists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::string scriptPath(const std::string& path)
{
    return folderOf(path) + scriptName(finalComponent(path));
}

bool writeBeside(const std::string& path, const std::string& scriptText)
{
    return writeFileReplacing(scriptPath(path), scriptText, LinkTarget::Replace);
}

} // namespace pavonia::pagedata
