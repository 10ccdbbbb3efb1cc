// The loader: components from the registry, typed properties, references and handler bindings, and every
// fault of a description reported at load time with its position.
#include <gtest/gtest.h>

#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/FormLoader.h"
#include "platform/ui/Label.h"
#include "platform/ui/Registry.h"

namespace {

// A small window class with two handlers of different signatures.
class TF_loadtest : public TForm {
public:
    explicit TF_loadtest(TComponent* owner) : TForm(owner) {}
    void Button1Click(TObject* Sender) { clicks.push_back(Sender); }
    void FormKeyPress(TObject*, char& Key) { Key = 0; }
    std::vector<TObject*> clicks;
};

const ClassBuilder<TF_loadtest> kLoadTestClass("TF_loadtest", "TForm", [](ClassBuilder<TF_loadtest>& c) {
    c.NotCreatable();
    c.Handler("Button1Click", &TF_loadtest::Button1Click);
    c.Handler("FormKeyPress", &TF_loadtest::FormKeyPress);
});

class FormLoaderTest : public testing::Test {
protected:
    void SetUp() override { Application->Initialize(); }
    std::unique_ptr<TF_loadtest> Load(const std::string& body)
    {
        auto f = std::make_unique<TF_loadtest>(nullptr);
        f->LoadDescriptionText("TF_loadtest", "object F_loadtest: TF_loadtest\n" + body + "end\n", "t.form");
        return f;
    }
};

TEST_F(FormLoaderTest, CreatesComponentsSetsPropertiesAndBindsHandlers)
{
    auto f = Load("  Caption = '录入'\n"
                  "  ClientWidth = 300\n"
                  "  ClientHeight = 200\n"
                  "  KeyPreview = True\n"
                  "  OnKeyPress = FormKeyPress\n"
                  "  object Button1: TButton\n"
                  "    Left = 10\n"
                  "    Top = 20\n"
                  "    Width = 80\n"
                  "    Height = 30\n"
                  "    Caption = '确定'\n"
                  "    Enabled = False\n"
                  "    OnClick = Button1Click\n"
                  "  end\n"
                  "  object Label1: TLabel\n"
                  "    Caption = 'R&&D人员'\n"
                  "    Font.Style = [fsBold, fsItalic]\n"
                  "  end\n");
    EXPECT_EQ(f->Name(), "F_loadtest");
    EXPECT_EQ(f->Caption(), "录入");
    EXPECT_EQ(f->ClientWidth(), 300);
    EXPECT_TRUE(f->KeyPreview);
    auto* b = f->Get<TButton>("Button1");
    EXPECT_EQ(b->Parent(), f.get());
    EXPECT_EQ(b->Left(), 10);
    EXPECT_EQ(b->Height(), 30);
    EXPECT_FALSE(b->Enabled());
    ASSERT_TRUE(b->OnClick);
    b->OnClick(b);
    ASSERT_EQ(f->clicks.size(), 1u);
    EXPECT_EQ(f->clicks[0], b);
    char key = 'a';
    f->OnKeyPress(f.get(), key);
    EXPECT_EQ(key, 0);
    auto* l = f->Get<TLabel>("Label1");
    EXPECT_EQ(l->DisplayText(), "R&D人员");
    EXPECT_EQ(l->Font().Style.value_or(0), unsigned(fsBold | fsItalic));
    EXPECT_THROW(f->Get<TLabel>("Button1"), Exception);
    EXPECT_THROW(f->Get<TButton>("Button2"), Exception);
}

TEST_F(FormLoaderTest, TabOrderFollowsTheDeclaredValues)
{
    auto f = Load("  object C: TButton\n    TabOrder = 2\n  end\n"
                  "  object A: TButton\n    TabOrder = 0\n  end\n"
                  "  object B: TButton\n    TabOrder = 1\n  end\n");
    EXPECT_EQ(f->Get<TButton>("A")->TabOrder(), 0);
    EXPECT_EQ(f->Get<TButton>("B")->TabOrder(), 1);
    EXPECT_EQ(f->Get<TButton>("C")->TabOrder(), 2);
}

struct LoadFault {
    const char* body;
    const char* where;
    const char* message;
};
void PrintTo(const LoadFault& c, std::ostream* os) { *os << c.where << " " << c.message; }

class FormLoaderFaults : public FormLoaderTest, public testing::WithParamInterface<LoadFault> {};

TEST_P(FormLoaderFaults, AreReportedAtLoadTime)
{
    const LoadFault& c = GetParam();
    try {
        Load(c.body);
        FAIL() << "loaded: " << c.body;
    } catch (const EFormError& e) {
        EXPECT_EQ(e.Message.rfind(std::string(c.where) + ": ", 0), 0u) << e.Message;
        EXPECT_NE(e.Message.find(c.message), std::string::npos) << e.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormLoaderFaults,
    testing::Values(
        LoadFault{"  object B: TNoSuchButton\n  end\n", "t.form:2:3", "unknown class 'TNoSuchButton'"},
        LoadFault{"  object B: TButton\n    Colour = 1\n  end\n", "t.form:3:5", "no property 'Colour'"},
        LoadFault{"  object B: TButton\n    OnClick = NoSuchClick\n  end\n", "t.form:3:15", "unknown handler 'NoSuchClick'"},
        LoadFault{"  object B: TButton\n    OnClick = FormKeyPress\n  end\n", "t.form:3:15", "does not fit event OnClick"},
        LoadFault{"  object B: TButton\n    Left = 'ten'\n  end\n", "t.form:3:12", "expects a whole number"},
        LoadFault{"  object B: TButton\n    Visible = Yes\n  end\n", "t.form:3:15", "True or False"},
        LoadFault{"  object B: TButton\n    Align = alMiddle\n  end\n", "t.form:3:13", "not a value of Align"},
        LoadFault{"  object L: TLabel\n    Font.Style = [fsHeavy]\n  end\n", "t.form:3:19", "not a value of Font.Style"},
        LoadFault{"  object B: TButton\n    object C: TButton\n    end\n  end\n", "t.form:3:5", "cannot be placed in 'B'"},
        LoadFault{"  object B: TButton\n  end\n  object b: TLabel\n  end\n", "t.form:4:3", "duplicate component name"},
        LoadFault{"  ActiveControl = Nobody\n", "t.form:2:19", "unknown component 'Nobody'"},
        LoadFault{"  object F2: TForm\n  end\n", "t.form:2:3", "cannot be declared inside a window"}));

TEST_F(FormLoaderTest, RejectsADescriptionOfAnotherClass)
{
    auto f = std::make_unique<TF_loadtest>(nullptr);
    EXPECT_THROW(f->LoadDescriptionText("TF_loadtest", "object F: TF_other\nend\n", "o.form"), EFormError);
}

}  // namespace
