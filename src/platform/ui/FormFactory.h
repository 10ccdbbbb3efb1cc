// The windows that a program has, by class name, each with its global variable. A window class registers
// itself once (FormSlot); openers then find it by name, so a caller needs no header of a window that may not
// be built yet, and the render and scenario tools can reach every window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Application.h"

class TFormFactory {
public:
    struct Entry {
        std::string className;
        std::function<TForm*()> get;    // the variable's current value
        std::function<void()> create;   // Application->CreateForm into the variable
    };

    static void Register(Entry entry);
    static const Entry* Find(const std::string& className);
    static std::vector<std::string> Names();
    // The window of the class: the instance in its variable, or one created into it now. nullptr when the class
    // is not part of this program.
    static TForm* Obtain(const std::string& className);
};

// Registration of a window class with its variable: static const FormSlot<TF_main> slot("TF_main", &F_main);
template <class T>
struct FormSlot {
    FormSlot(const char* className, T** variable)
    {
        TFormFactory::Register({className, [variable] { return static_cast<TForm*>(*variable); },
                                [variable] { Application->CreateForm(variable); }});
    }
};
