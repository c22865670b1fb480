#pragma once
// The data scripts of a published page. A page opened straight from disk may
// run scripts from other files but cannot read their bytes, so publishing
// writes beside each talking message and talking image a small script that
// hands the page what it needs of that file (MessageDataScript,
// FaceDataScript). The script for the file NAME is NAME + ".js"; it adds one
// JSON object to the page's `window.PavoniaData` list. The files and their
// fields are described in docs/page-data.md.
#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace pavonia::pagedata {

using Json = nlohmann::ordered_json;

// The name of the data script of the published file `fileName`.
std::string scriptName(const std::string& fileName);

// The script text that hands the page `object`.
std::string script(const Json& object);

// The fields every data object starts with.
Json header(const char* kind, const std::string& fileName);

// `bytes` as base64.
std::string base64(std::string_view bytes);

// True when `path` names a regular file.
bool fileExists(const std::string& path);

// The path of the data script of the published file at `path`.
std::string scriptPath(const std::string& path);

// Writes `scriptText` beside the published file at `path`, under its script
// name, replacing any older one (and any link there: it is never written
// through). False with errno set when it cannot.
bool writeBeside(const std::string& path, const std::string& scriptText);

} // namespace pavonia::pagedata
