// The main window as laid out from its description: frame, size and place on the screen, every component's
// position and tab order, the report list, the dialogs' settings, and a rendering with Chinese glyphs.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPixmap>

#include "support/ProgramTest.h"

namespace {

class MainLayout : public testsupport::ProgramTest {};

struct Placement {
    const char* name;
    const char* caption;
    int left, top, width, height;
    bool enabled;
};

TEST_F(MainLayout, ComponentsSitWhereTheDescriptionPutsThem)
{
    TF_main& m = StartProgram();
    const Placement expected[] = {
        {"RadioGroup1", "请选择报表", 32, 24, 465, 449, true}, {"Button1", "数据录入", 352, 48, 129, 73, true},
        {"Button7", "报表校验", 352, 160, 129, 73, true},      {"Button5", "查询统计", 352, 272, 129, 73, true},
        {"Button6", "报表打印", 352, 384, 129, 73, true},      {"Button9", "发送校验表", 512, 32, 153, 49, false},
        {"Button3", "发送数据库", 512, 96, 153, 49, false},    {"Button8", "发送邮件", 512, 160, 153, 49, false},
        {"Button2", "接收邮件", 512, 224, 153, 49, false},     {"Button10", "直接操作数据库", 512, 288, 153, 49, true},
        {"Button11", "系统维护", 512, 352, 153, 49, true},     {"Button4", "退出", 512, 416, 153, 49, true},
    };
    for (const Placement& p : expected) {
        auto* c = m.Get<TControl>(p.name);
        EXPECT_EQ(c->Caption(), p.caption) << p.name;
        const QRect g = c->Widget()->geometry();
        EXPECT_EQ(g, QRect(p.left, p.top, p.width, p.height)) << p.name;
        EXPECT_EQ(c->Enabled(), p.enabled) << p.name;
        EXPECT_EQ(c->Parent(), &m) << p.name;
    }
}

TEST_F(MainLayout, TabOrderFollowsTheDescription)
{
    TF_main& m = StartProgram();
    std::vector<std::string> order;
    for (TControl* c : m.TabList()) {
        order.push_back(c->Name());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Button1", "Button7", "Button5", "Button6", "RadioGroup1", "Button3",
                                               "Button8", "Button2", "Button10", "Button11", "Button4", "Button9",
                                               "StatusBar1"}));
    // The first control in tab order has the focus; the next enabled one follows it (the mail buttons are skipped).
    EXPECT_EQ(m.ActiveControl(), m.Button1);
    m.SelectNext(m.RadioGroup1, true, true);
    EXPECT_EQ(m.ActiveControl(), m.Button10);
    m.SelectNext(m.Button4, true, true);
    EXPECT_EQ(m.ActiveControl(), m.Button1);
}

TEST_F(MainLayout, WindowIsFixedCentredAndSizedByItsClientArea)
{
    Application->SetScreenSize(1024, 768);
    TF_main& m = StartProgram();
    EXPECT_EQ(m.ClientWidth(), 693);
    EXPECT_EQ(m.ClientHeight(), 496);
    EXPECT_EQ(m.Widget()->size(), QSize(693, 496));
    EXPECT_EQ(m.BorderStyle(), TFormBorderStyle::bsSingle);
    EXPECT_EQ(m.Widget()->minimumSize(), m.Widget()->maximumSize());
    EXPECT_EQ(m.Left(), (1024 - m.Width()) / 2);
    EXPECT_EQ(m.Top(), (768 - m.Height()) / 2);
}

TEST_F(MainLayout, ReportListHoldsTheElevenReports)
{
    TF_main& m = StartProgram();
    EXPECT_EQ(m.RadioGroup1->Items(),
              (std::vector<std::string>{"国家高新技术产业开发区企业统计报表", "国家高新技术产业开发区综合情况报表",
                                        "区外高新技术企业统计报表", "国家级科技计划项目执行情况调查表",
                                        "国家级项目未统计原因", "高新区创业投资机构情况表",
                                        "Vemora计划软件产业基地情况表", "国家大学科技园情况表",
                                        "科技企业孵化器情况表", "Vemora计划特色产业基地情况表",
                                        "省级高新技术产业开发区情况调查表"}));
}

TEST_F(MainLayout, WorkComponentsCarryTheirDesignSettings)
{
    TF_main& m = StartProgram();
    EXPECT_EQ(m.OpenDialog1->Filter, "*.db *.dbf|*.db;*.dbf");
    EXPECT_EQ(m.OpenDialog1->Options, unsigned(ofHideReadOnly | ofNoChangeDir));
    EXPECT_EQ(m.SaveDialog1->DefaultExt, "*.db");
    EXPECT_EQ(m.SaveDialog1->Filter, "*.db|*.db|*.dbf|*.dbf|*.txt|*.txt");
    EXPECT_EQ(m.SaveDialog1->Options, unsigned(ofHideReadOnly | ofNoChangeDir));
    EXPECT_EQ(m.Database1->DatabaseName, ".");
    EXPECT_EQ(m.Database1->DriverName, "STANDARD");
    EXPECT_EQ(m.Database1->SessionName, "Default");
    EXPECT_NE(m.Database1->Handle(), nullptr);
    EXPECT_TRUE(m.Table1->TableName().empty());
    EXPECT_EQ(m.Query1->SQL.Count(), 0);
}

TEST_F(MainLayout, RendersChineseWithTheInstalledCjkFont)
{
    // Without a Simplified Chinese family every caption would render as boxes.
    ASSERT_FALSE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty());
    TF_main& m = StartProgram();
    const QFontInfo info(m.Button1->Widget()->font());
    EXPECT_TRUE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).contains(info.family())) << info.family().toStdString();
    EXPECT_EQ(info.pixelSize(), 16);
    const QImage image = m.Widget()->grab().toImage();
    EXPECT_EQ(image.size(), QSize(693, 496));
    ASSERT_TRUE(image.save(QString::fromStdString((Base() / "main.png").string()), "PNG"));
    // The caption of "数据录入" leaves dark pixels inside the button.
    int dark = 0;
    for (int y = 48; y < 48 + 73; ++y) {
        for (int x = 352; x < 352 + 129; ++x) {
            dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 50);
}

}  // namespace
