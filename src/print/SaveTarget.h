// The question before a save that a user asks for ("另存" in the table tool, "存盘" in the query window): the
// program's own tables in the data folder (report, rule, dictionary and heading tables) are never
// overwritten, and any other existing file is replaced only when the user agrees.
#pragma once

#include <string>

// True when fileName may be written: not one of the program's own tables in the current (data) folder (told
// in an error box), and either new or confirmed by the user ("提示", Yes/No).
bool ConfirmSaveTarget(const std::string& fileName);

// The name chosen in a save dialog whose filter offers "*.db", "*.dbf", "*.txt": without an extension it gets
// the one of the filter entry chosen (FilterIndex 1 to 3); a name with an extension is used as typed.
std::string WithFilterExtension(const std::string& fileName, int filterIndex);

// True when path (as resolved) is one of the tables that come with the program, in the data folder.
bool IsSystemTable(const std::string& path);
// True when a file name (without folder) is the name of one of the tables that come with the program.
bool IsShippedTableName(const std::string& name);
