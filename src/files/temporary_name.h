// The names of the temporary files this program writes beside a file before
// it takes that file's place (a new version, or a backup): `.NAME.rb-XXXXXX`
// in the file's folder. Hidden, and named so that no command takes one for
// an area.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rb {

// The folder that holds `path` ("." for a bare name) and the name in it.
std::string folderOf(const std::string& path);
std::string baseNameOf(const std::string& path);

// The mkstemp(3) pattern of a temporary file beside `path`.
std::string temporaryPattern(const std::string& path);

// Whether `name` (without its folder) is such a temporary file's name.
bool isTemporaryName(std::string_view name);

// Whether `name` is that of a new file a transfer writes before putting it
// in place: `NAME.partial-XXXXXX` (output_file.h). Left by a killed run, it
// holds part of an area, and is never read as one.
bool isPartialName(std::string_view name);

// Removes the temporary files a killed run left beside each of `paths`,
// reading each folder once. Only safe while holding the paths' locks: no
// live run then writes one.
void removeLeftoverTemporaries(const std::vector<std::string>& paths);

// Puts what is in the folder of `path` on the disk, so that a name just
// made or removed there lasts; the folders of `paths`, each once.
void syncFolderOf(const std::string& path);
void syncFoldersOf(const std::vector<std::string>& paths);

}  // namespace rb
