#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"
#include "platform/ui/Registry.h"

bool TOpenDialog::Execute()
{
    TFileDialogRequest r;
    r.save = IsSave();
    r.title = Title;
    r.filter = Filter;
    r.filterIndex = FilterIndex;
    r.fileName = FileName;
    r.defaultExt = DefaultExt;
    r.initialDir = InitialDir;
    r.options = Options;
    if (!Application->ExecuteFileDialog(r)) {
        return false;
    }
    FileName = r.fileName;
    FilterIndex = r.filterIndex;
    return true;
}

namespace {

template <class T>
void DialogProperties(ClassBuilder<T>& c)
{
    c.String("Title", [](T& d, const std::string& v) { d.Title = v; });
    c.String("Filter", [](T& d, const std::string& v) { d.Filter = v; });
    c.Int("FilterIndex", [](T& d, int v) { d.FilterIndex = v; });
    c.String("FileName", [](T& d, const std::string& v) { d.FileName = v; });
    c.String("DefaultExt", [](T& d, const std::string& v) { d.DefaultExt = v; });
    c.String("InitialDir", [](T& d, const std::string& v) { d.InitialDir = v; });
    c.Set("Options",
          {{"ofReadOnly", ofReadOnly}, {"ofOverwritePrompt", ofOverwritePrompt}, {"ofHideReadOnly", ofHideReadOnly},
           {"ofNoChangeDir", ofNoChangeDir}, {"ofShowHelp", ofShowHelp}, {"ofNoValidate", ofNoValidate},
           {"ofAllowMultiSelect", ofAllowMultiSelect}, {"ofExtensionDifferent", ofExtensionDifferent},
           {"ofPathMustExist", ofPathMustExist}, {"ofFileMustExist", ofFileMustExist},
           {"ofCreatePrompt", ofCreatePrompt}, {"ofShareAware", ofShareAware},
           {"ofNoReadOnlyReturn", ofNoReadOnlyReturn}, {"ofNoTestFileCreate", ofNoTestFileCreate},
           {"ofEnableSizing", ofEnableSizing}},
          [](T& d, long long v) { d.Options = static_cast<TOpenOptions>(v); });
}

const ClassBuilder<TOpenDialog> kOpenDialogClass("TOpenDialog", "TComponent",
                                                 [](ClassBuilder<TOpenDialog>& c) { DialogProperties(c); });
const ClassBuilder<TSaveDialog> kSaveDialogClass("TSaveDialog", "TOpenDialog",
                                                 {});

}  // namespace
