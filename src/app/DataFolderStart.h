// Where the program works: the data folder named on the command line, or the current folder, becomes the
// current folder for the whole run. A folder that holds none of the system's tables is offered a new data
// folder, built from the tables that come with the program; declining leaves it untouched and ends the program.
#pragma once

#include <string>

// The program's title: its main window's caption and the caption of its error boxes.
extern const char* const ProgramTitle;

enum class TStartFolder { Run, Quit, Failed };

// The tables that come with the program, beside the program in programDir: installed, "../share/vemora/data"
// (as `cmake --install` puts them); in the build folder, "data". Empty when neither holds them.
std::string ShippedDataFolder(const std::string& programDir);

// Enters folder (empty: stays in the current folder) and makes sure it is a data folder, asking the user
// where it is not. Run: the program goes on in it; Quit: the user declined; Failed: the user has been told why.
TStartFolder EnterDataFolder(const std::string& folder, const std::string& shippedData);
