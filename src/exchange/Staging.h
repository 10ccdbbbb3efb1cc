// The staging folder of the send window, BaseDir + "sendfile\": it holds a copy of each attachment, under the
// file's bare name, for as long as the window is open. The folder comes with the data folder; the system never
// creates it. Staging refuses a source that is already the staging copy (the copy would destroy it) and names
// that are not bare file names.
#pragma once

#include <string>

// The staging folder as a path; raises Exception when it does not exist.
std::string StagingFolder();

// Where the staging copy of a bare name lies (the folder need not exist).
std::string StagedPath(const std::string& bareName);

// Copies source into the staging folder as bareName, replacing an older copy only with a complete new one.
void StageFile(const std::string& source, const std::string& bareName);

// Deletes the staging copy of a bare name; a copy that is already gone is no error.
void UnstageFile(const std::string& bareName);

// A path of the start folder (BaseDir + name), resolved as the engine resolves names.
std::string StartFolderPath(const std::string& name);
