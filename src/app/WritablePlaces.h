#pragma once
// Where a process on an installation writes. An installation whose folder
// the user can write keeps everything in it, as a build tree does. An
// installed program's folder is read-only for its users: then the writable
// parts live in the user's own folders (XDG config, cache and data), while
// the template library, the lip-sync data, the content and the default files
// are still read from the installation.
#include <string>

namespace pavonia {

// The user's own folders for the program, each ending with "/".
struct UserFolders {
    std::string config; // settings: the preference file, voice templates, registry values
    std::string cache;  // the "Temp" working folder
    std::string data;   // the "User" working folder
};

// $XDG_CONFIG_HOME, $XDG_CACHE_HOME and $XDG_DATA_HOME (or their defaults
// under the home folder), each followed by "pavonia/".
UserFolders xdgUserFolders();

struct WritablePlaces {
    std::string installation; // the read-only data
    std::string settings;     // "PVPreference.ini", "voicefilter.ini", the user's "Registry.ini"
    std::string tempParent;   // holds "Temp": the processes' own working folders
    std::string userParent;   // holds "User": the published previews
    bool inInstallation = true;

    std::string tempFolder() const { return tempParent + "Temp/"; }
    std::string userFolder() const { return userParent + "User/"; }
};

// Every folder ends with "/". `installationWritable` is whether this
// process may write in the installation folder.
WritablePlaces decideWritablePlaces(const std::string& installation, bool installationWritable,
                                    const UserFolders& user);
// The same for this process and user.
WritablePlaces writablePlacesFor(const std::string& installation);

// True when this process may create and delete entries in `folder`.
bool isWritableFolder(const std::string& folder);

} // namespace pavonia
