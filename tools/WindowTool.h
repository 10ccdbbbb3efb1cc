// Shared by the window tools: starting offscreen in a data folder, finding windows and controls by name, and
// rendering a window to a PNG file.
#pragma once

#include <QApplication>
#include <QPixmap>

#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

#include "app/Main.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/PageControl.h"

namespace tool {

// The caller's folder, kept before the tool enters the data folder: output paths are relative to it.
inline std::string& CallerFolder()
{
    static std::string folder;
    return folder;
}

inline std::string FromCaller(const std::string& path)
{
    if (path.empty() || path[0] == '/' || CallerFolder().empty()) {
        return path;
    }
    return CallerFolder() + "/" + path;
}

inline void UseOffscreen()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

// Enters the data folder; the program works on bare file names in its current folder.
inline bool EnterFolder(const std::string& folder)
{
    char here[4096];
    if (getcwd(here, sizeof here)) {
        CallerFolder() = here;
    }
    if (chdir(folder.c_str()) != 0) {
        std::cerr << "cannot enter the folder " << folder << "\n";
        return false;
    }
    return true;
}

inline TForm* WindowByName(const std::string& name)
{
    for (TForm* f : Application->Forms()) {
        if (SameName(f->Name(), name) || SameName(f->ClassName, name)) {
            return f;
        }
    }
    return TFormFactory::Obtain(name);
}

inline void ListWindows(std::ostream& out)
{
    out << "windows of this program:";
    for (const std::string& n : TFormFactory::Names()) {
        out << " " << n;
    }
    out << "\n";
}

// A page of the window's page controls, by name, caption or index.
inline TTabSheet* FindPage(TForm& f, const std::string& page)
{
    for (int i = 0; i < f.ComponentCount(); ++i) {
        if (auto* pc = dynamic_cast<TPageControl*>(f.Components(i))) {
            for (int p = 0; p < pc->PageCount(); ++p) {
                TTabSheet* s = pc->Pages(p);
                if (SameName(s->Name(), page) || s->Caption() == page || std::to_string(p) == page) {
                    return s;
                }
            }
        }
    }
    return nullptr;
}

inline bool Render(TForm& f, const std::string& path)
{
    QCoreApplication::processEvents();
    const QPixmap pm = f.Widget()->grab();
    if (pm.isNull() || !pm.save(QString::fromStdString(FromCaller(path)), "PNG")) {
        std::cerr << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace tool
