#pragma once
// The data scripts of a published page. A page opened straight from disk may
// run scripts from other files but cannot read their bytes, so publishing
// writes beside each talking message and talking image a small script that
// hands the page what it needs of that file: a message's length and lip-sync
// frames, an image's face layout and pictures. The script for the file NAME
// is NAME + ".js"; it adds one object to the page's `window.PavoniaData`
// list. The files and their fields are described in docs/page-data.md.
#include <string>

namespace pavonia {

// The name of the data script of the published file `fileName`.
std::string pageDataScriptName(const std::string& fileName);

// The script text that hands the page `json` (one JSON object).
std::string pageDataScript(const std::string& json);

// The data script of a talking message: its voice length and lip-sync
// frames, or that it is muted, text-mode, missing or damaged.
class MessageDataScript {
public:
    // The script for the message at `path`, named in the page `fileName`.
    static std::string make(const std::string& path, const std::string& fileName);
    // Writes the script of the published message at `path` beside it (its
    // data name); false when the script cannot be written.
    static bool writeBeside(const std::string& path);
};

// The data script of a talking image: its face layout, and the face and
// mouth pictures as data URLs; or that it is missing, newer or damaged.
class FaceDataScript {
public:
    static std::string make(const std::string& path, const std::string& fileName);
    static bool writeBeside(const std::string& path);
};

} // namespace pavonia
