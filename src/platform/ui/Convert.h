// The runtime's text-to-number conversion that windows use on what the user typed: a text that is not a whole
// number raises EConvertError with the message the framework's error box shows.
#pragma once

#include <string>

// The integer a text spells (blanks around it allowed, an optional sign); raises EConvertError otherwise, also
// for a number outside the range of int.
int StrToInt(const std::string& text);
