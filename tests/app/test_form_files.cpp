// Every window description of the program is in canonical shape and names only registered classes, so that a
// fault in a description shows up here rather than when the window is first opened.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/ui/FormFormatter.h"
#include "platform/ui/FormParser.h"
#include "platform/ui/Registry.h"

namespace {

void CheckClasses(const form::Object& o, const std::string& file)
{
    EXPECT_NE(Registry::Instance().Find(o.className), nullptr)
        << file << ":" << o.pos.line << ":" << o.pos.col << ": class " << o.className << " is not registered";
    for (const form::Object& child : o.children) {
        CheckClasses(child, file);
    }
}

TEST(FormFiles, AreCanonicalAndNameRegisteredClasses)
{
    const std::filesystem::path dir = std::filesystem::path(VEMORA_SOURCE_DIR) / "src" / "forms";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".form") {
            continue;
        }
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const std::string name = entry.path().filename().string();
        try {
            const form::Document doc = form::Parse(text.str(), name);
            EXPECT_EQ(form::Format(doc), text.str()) << name << " is not in canonical shape";
            EXPECT_EQ(doc.root.className + ".form", name) << "a description is named after its class";
            CheckClasses(doc.root, name);
        } catch (const EFormError& e) {
            ADD_FAILURE() << e.Message;
        }
    }
    EXPECT_GT(files, 0);
}

}  // namespace
