#pragma once
// Folder helpers used across the program. Patterns match final components
// with "*" and "?" without regard to case. Deleting never follows a symbolic
// link: a link is deleted as a file, its target is left alone. Failures are
// silent; the helpers that answer say whether they succeeded.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace pavonia {

namespace folders {
// Deletes one file, or a link as a link; never a folder.
void deleteFile(const std::filesystem::path& path);
// True for a folder that is not a link to one.
bool isRealFolder(const std::filesystem::directory_entry& entry);
// The entries of one folder (not its sub-folders); empty when it cannot be read.
std::vector<std::filesystem::directory_entry> entriesOf(const std::filesystem::path& folder);
// Deletes the files (not folders) of `folder` whose names `wanted` accepts.
void deleteFilesWhere(const std::string& folder, const std::function<bool(const std::string&)>& wanted);
// Deletes the files (not folders) of `folder` whose names match `pattern`.
void deleteMatching(const std::string& folder, const std::string& pattern);
// Deletes every file of `folder` and its sub-folders; the folders stay.
void deleteFilesRecursively(const std::string& folder);
// Deletes every file of the tree except those whose extension (the text after
// the last ".") is `keepExtension` (no dot, any case), then the sub-folders
// left empty: the kept files stay where they are, everything else goes.
void deleteFilesExcept(const std::string& folder, const std::string& keepExtension);
// Copies a folder tree into `to` (created with its parents), replacing files
// of the same name (a link of that name is replaced, never written through).
// A link to a file is copied as the file; a link to a folder is not followed.
// False when `from` is not a folder or anything could not be copied: the copy
// stops at the first failure, with errno set.
bool copyTree(const std::string& from, const std::string& to);
// Creates a folder with all missing parents; true when it exists afterwards
// (else errno tells why).
bool createPath(const std::string& folder);
// The full path of the first entry of `folder` (file or folder, as a
// directory search finds them) whose name matches `pattern`, in name order
// without regard to case; empty when none.
std::string firstMatching(const std::string& folder, const std::string& pattern);
} // namespace folders

} // namespace pavonia
