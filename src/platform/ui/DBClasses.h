// The data-aware control classes register themselves from static initialisers in their own files. A program
// links a file of a static library only when its code refers to it, so every data-aware control calls
// LinkDataControlClasses(): a window description can then declare any of them, including those (a navigator,
// a memo) that no code ever names.
#pragma once

void LinkDataControlClasses();

// One per registering file; they do nothing but refer to that file.
void LinkDBEditClass();
void LinkDBMemoClass();
void LinkDBGridClass();
void LinkDBNavigatorClass();
