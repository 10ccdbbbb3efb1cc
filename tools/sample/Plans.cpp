// The plans of the report tables (see Plan.h): amounts in thousand yuan, areas in square metres (zones: square
// kilometres), people and counts whole. Keys, names and the fields that depend on other records are set by the
// report generators.
#include "Plans.h"

#include <map>
#include <stdexcept>

namespace sample {

namespace {

const std::map<std::string, std::string>& plans()
{
    static const std::map<std::string, std::string> p = {
        {"kfq_1.db", R"(
@ amount 30000 people 150 count 3 energy 800
QA02 pick 1 2
QA15 pick 1 2 3
QA12 date 2010-01-04 2010-03-31
QA08 person
QA09 tel
QA11 person
Qa17 tel
QA10 tel
QA06 post
QA05 addr
QA07 addr
QA13 mail
QA14 web
QB01 pick 10 20 30 40 90
QB06 pick 110 141 151 159 160 171 173 174 190 210 220 230 310 320 330
QB09 pick 1 2 3 4
QB14 pick 1 2 3
QB16 pick 101 102 103 104 105 201 202 203 301 302 401 402 403 501 502 601 602 999
QB05 pick 1 2
QB19 pick 1 2
QB18 pick 1 2 3
QD19 pick 1 1 1 2
QD20 year 1950 1982
QD22 pick 1 2 3 4
Qj88 pick 1 2 3 4
QD01 people                     # 年末从业人员数
QD05 people >QD01 .9 1.05       # 从业人员年平均数
QD03 people <QD01 0 .06         # 其中：留学归国人数
QD04 people <QD03 .2 .9         #   其中：硕士以上
Qd23 people <QD01 .1 .5         # 其中：工程技术人员
QD21 people <QD01 0 .02         # 其中：引进外籍专家
QD14 people <QD01 0 .1          # 其中：吸纳高校应届毕业生
Qd24 people <QD01 .6 1          # 其中：参加社保人数
QD06 people ~QD01               # 博士 (with 硕士, 大学, 大专, 中专 at most the staff)
QD07 people ~QD01
QD08 people ~QD01
QD09 people ~QD01
QD10 people ~QD01
QD11 people ~QD01               # 高级, 中级, 初级
QD12 people ~QD01
QD13 people ~QD01
QC05 amount                     # 总收入 = 产品 + 技术 + 商品 + 其它
QC07 amount =QC05
QC06 amount =QC05
QC10 amount =QC05
QC49 amount =QC05
QC06_1 amount ~QC06
QC06_2 amount ~QC06
QC06_3 amount ~QC06
QC06_4 amount ~QC06
QC09 amount <QC07 .3 .9         # 其中：高新技术产品
QC42 amount <QC07 0 .3          # 其中：软件产品销售收入
QC02 amount >QC07 .95 1.2 ?ind  # 工业总产值
QC04 amount <QC02 .85 1 ?ind
QC03 amount <QC02 .55 .8 ?ind
QC43 amount <QC05 .15 .35       # 增加值
QC44 amount <QC43 .5 1 ?ind     # 其中：工业增加值
Qc52 amount <QC05 .05 .4 ?exp   # 进出口总额
QC11 amount <Qc52 .3 .9         # 其中：出口总额
QC38 amount <QC11 .2 .9
Qj82 amount <QC11 0 .2
QC12 amount <QC05 0 .15         # 净利润
QC13 amount <QC05 .02 .08       # 实际上缴税费总额
QC14 amount ~QC13
QC15 amount ~QC13
QC16 amount ~QC13
QC17 amount <QC13 0 .6          # 减免税总额
QC18 amount ~QC17
QC19 amount ~QC17
QC20 amount ~QC17
Qc20_3 amount <QC17 0 .2
Qi51 amount <QC17 0 .4
Qi52 amount <QC17 0 .4
QC60 amount <QC05 0 .02
Qc62 amount >QC14 1 1.2
QC51 amount >QD05 60 150        # 劳动者报酬: staff x wage
QC22 amount <QC05 .8 .97
QC23 amount <QC22 0 .05
QC24 amount >QC05 .5 1.8        # 年末资产总计
QC25 amount ~QC24
QC26 amount ~QC24
QC27 amount ~QC24
QC30 amount ~QC24
QC28 amount <QC27 .8 1
QC29 amount <QC28 .5 .9
QC61 amount <QC29 .05 .2
QC31 amount =QC24               # 负债 + 所有者权益 = 资产
QC33 amount =QC24
QC32 amount <QC31 0 .6
QC34 amount <QC33 .4 .9         # 实收资本 = the six kinds of capital
QC35 amount =QC34
QC45 amount =QC34
QC46 amount =QC34
QC47 amount =QC34
QC48 amount =QC34
QC36 amount =QC34
QC50 amount <QC34 0 .3 ?listed
QC37 amount <QC33 0 .1
QC39 amount <QC24 0 .05
QC40 amount <QC24 0 .2
QC41 energy ?ind
Qc54 energy x0.5 ?ind
Qj09 people <QD01 .1 .5         # 科技活动人员合计
Qj11 people <Qj09 .3 .85         # with 科技管理和服务人员 within the total
Qj67 people <Qj09 .05 .15
Qj66 people <Qj09 .1 .4
Qj12 people <Qj09 .2 .6
Qj13 people <Qj09 .1 .4
Qj09_1 people <Qj09 .4 .9
Qj14 people <Qj09 .3 .8         # R&D人员 = 全时 + 非全时
Qj14_1 people =Qj14
Qj14_2 people =Qj14
Qj08 people <Qj14 .5 .9
Qj15 amount <QC05 .02 .1        # 科技活动经费筹集总额
Qj16 amount =Qj15
Qj17 amount =Qj15
Qj18 amount =Qj15
Qj19 amount =Qj15
Qj20 amount =Qj15
Qj21 amount =Qj15
Qj23 amount <Qj15 .8 1          # 内部支出合计 = its five items
Qj23_1 amount =Qj23
Qj23_2 amount =Qj23
Qj23_3 amount =Qj23
Qj23_4 amount =Qj23
Qj23_5 amount =Qj23
Qj24 amount <Qj23 .3 .8         # 合计中：研究与试验发展支出, by source
Qj24_1 amount =Qj24
Qj24_2 amount =Qj24
Qj24_3 amount =Qj24
Qj24_5 amount =Qj24
Qj33 amount <Qj15 0 .15
Qj33_1 amount ~Qj33
Qj33_2 amount ~Qj33
Qj33_3 amount ~Qj33
Qj250 amount <Qj23 0 .3
Qj251 amount <Qj250 .3 .9
Qj53 amount <Qj23 .3 .9         # 科技项目内部经费支出 (the projects share it)
Qi01 count x0.4
Qi07 people <Qj09 .1 .6
Qi10 people ~Qi07
Qi11 people ~Qi07
Qi20 people ~Qi07
Qi14 amount <Qj23 .1 .5
Qi17 amount <QC28 0 .3
Qi21 amount <Qi17 0 .6
QI18 count x0.3 ?exp
QI19_1 count =QI18
QI19_2 count =QI18
QI19_3 count =QI18
QI19_4 count =QI18
Qj55 count x2                   # 专利
Qj56 count <Qj55 .1 .6
Qj74 count <Qj55 .3 .9
Qj57 count <Qj74 0 .5
Qj76 count <Qj57 0 .3             # 欧美日发明专利: within both 发明专利 and 欧美日专利
Qj75 count >Qj76 1 2
Qj83 count >Qj74 1 4
Qj73 count <Qj83 0 .5
Qj83_1 count <Qj83 0 .1
Qj83_2 count <Qj83 0 .1
Qi23 count <Qj83 0 .1
Qi24 amount <QC06 0 .3
Qj71 amount <QC07 0 .6          # 新产品
Qj70 amount >Qj71 1 1.1
Qj72 amount <Qj71 0 .3
Qi25 count
Qj79 count
Qj77 count <Qj79 0 .5
Qj79_1 count <Qj79 0 .2
Qi27 count x0.2
Qj85 count
Qj86 count x0.1
Qj87 count x0.05
Qi28 count x0.02
Qi29 count x0.3
Qj59 amount <Qj15 0 .1
Qj61 amount <Qj59 0 .5
Qj62 amount <Qj15 0 .1
Qj58 amount <QC24 0 .05
Qj80 amount <QC06 0 1
)"},
        {"kfq_2.db", R"(
@ amount 5000
QE03 pick 101 102 103 104 105 201 202 301 302 401 402 501 601 999
QE04 pick 1 2 3 4
QE05 pick 11 21 22 23 24 25 26 27 31 32
QE06 pick 11 21 22 23 24 25 26 27 31 32
QE07 pick 11 12 13 14 17 19 21 31 99
QE08 pick 1 2 3 4 5
QE09 pick 0 1 2 3
QE11 pick 03 04 05 06 07 08 09
QE12 pick 0 1 2 3 4 9
QE13 pick 1 2 3 4 5 6 7
QE17 pick 1 2 3 4 5
QE15 amount                     # 全年产品销售收入 (the generator scales it to the enterprise)
QE14 amount >QE15 .95 1.2       # 全年产品产值
QE16 amount <QE15 0 .3 ?exp     # 其中：创汇
)"},
        {"kfq_5.db", R"(
@ amount 1000 people 10
Qh01 pick 1 2 3 4 5 6
Qh02 pick 1 2 3 4 5 6
Qh20 pick 01 02 03 04 05 06 07 08
Qh21 pick 01 02 03 04 05 06 07 08
Qh19 pick 1 2 3 4 5
Qh03 pick 1 2 3 4
Qh22 pick 01 02 03 04
Qh23 months                     # 项目人员实际工作时间
Qh08 people                     # 参加项目人员 = 研究 + 技术 + 辅助
Qh08_1 people =Qh08
Qh08_2 people =Qh08
Qh08_3 people =Qh08
Qh12 amount                     # 经费内部支出
Qh12_1 amount <Qh12 0 .4        # 政府
)"},
        {"kfqzh.db", R"(
@ area 40 amount 30000000 count 3000 energy 1
KA02 addr
KA03 post
KA05 person
KA06 tel
KA07 tel
KA08 person
KA09 date 2010-01-04 2010-03-31
KA10 mail
KA11 web
KB16 pick 1 2
KB23 pick 1 2
KB02 area                       # 国务院核准面积 (km2)
KB02_2 area ~KB02
KB02_1 area ~KB02
KB02_3 area ~KB02
KB01 area >KB02 1 2.5           # 实际开发土地面积
KB08 area <KB01 .3 .8
KB10 area <KB08 0 .2
KB09 area >KB01 .3 .6
KB06 amount x0.4                # 生产总值
KB21 amount <KB06 .7 1
KB07 amount <KB06 .4 .7
KB22 amount <KB21 .4 .7
KB14 pct
KB15 pct
KB03 count                      # 工商注册企业数
KB33 count <KB03 0 .05
KB03_1 count <KB03 .05 .2
KB03_2 count <KB03_1 .3 .8
KB03_3 count <KB03_1 .1 .4
KB04 count <KB03_1 .1 .5
KB05 count <KB03_1 0 .2
KB13 count <KB03 .02 .1
KB20 count x0.01
KB24 count x0.003
KB25 count x0.002
KB27 count x0.002
KB26 count x0.003
KB31 count x0.005
KB28 count x0.002
KB30 energy x0.3
KB32 energy x0.8
KC00 amount x0.05               # 固定资产投资
KC01 amount <KC00 .3 .8         # 基建投资 and its items
KC02 amount ~KC01
KC03 amount ~KC01
KC04 amount ~KC01
KC05 amount ~KC01
KC06 amount ~KC01
KC08 amount ~KC01
KC07 amount x0.02
KC40 amount >KC07 .6 1.1
KC41 amount <KC40 .02 .1
KC14 amount x0.03
KC21 amount x0.05               # 外商合同投资 = 直接 + 其他
KC28 amount =KC21
KC29 amount =KC21
KC22 amount <KC21 .4 .9         # 外商实际投资 = 直接 + 其他
KC30 amount =KC22
KC31 amount =KC22
KC23 amount <KC22 .05 .3
KC24 amount <KC22 .1 .6
KC25 amount x0.0005
KC26 amount x0.0005
KC27 amount x0.0005
KD11_1 count x0.003
KD11_3 count x0.05
KD12_1 count x0.001
KD12_3 count x0.02
KD14_1 count x0.001
KD14_3 count x0.02
KD15_1 count x0.01
KD15_3 count x0.08
KD16_1 count x0.01
KD16_3 count x0.3
KD17_1 count x0.002
KD17_3 count x0.01
KD18_1 count x0.002
KD18_3 count x0.03
KD19_1 count x0.005
KD19_3 count x0.04
KD20_1 count x0.005
KD20_3 count x0.05
KD21_1 count x0.002
KD21_3 count x0.02
KD22_1 count x0.002
KD22_3 count x0.02
KD23_1 count x0.002
KD23_2 count x0.02
KD30_1 count x0.003
KD30_2 count x0.06
KD31_1 count x0.005
KD31_2 count x0.1
KD32_1 count x0.02
KD32_2 count x0.3
KD33_1 count x0.003
KD33_2 count x0.02
KD34_1 count x0.02
KD34_2 count x0.2
KD35_1 count x0.01
KD35_2 count x0.1
KD36_1 count x0.01
KD36_2 count x0.3
KD37_1 count x0.005
KD37_2 count x0.1
)"},
        {"gjxm.db", R"(
@ amount 5000 people 12 count 3
JBFZR person
JBTBR person
JBDH tel
JBSJ date 2010-01-04 2010-03-31
JB10 pick 01 02 03 04 05 06 07 08 09 10
JB11 pick 1 2 3 4
JB14 pick 260 270 350 360 390 400 410 610 620 750
JB16 digits
JB18 pick 1 2
JB24 post
JB23 addr
JB25 tel
JB26 orgcode
JB27 pick AA AB AE BA BB BC BD BE BF BH
JB29 pick 科学技术厅 科学技术局 经济和信息化委员会 发展和改革委员会 教育厅
JB30 digits
JB42_1 digits
JB42_2 digits
JB40_1 pick 1 2 3 4
JB40_2 pick 1 2 3 4
JB43_1 person
JB43_2 person
JB44_1 pick 1 1 2
JB44_2 pick 1 1 2
JB45_1 year 1950 1980
JB45_2 year 1955 1985
JB46_1 pick 1 2 3
JB46_2 pick 1 2 3 4
JB47_1 pick 1 2 3
JB47_2 pick 1 2 3 4
JB48_1 pick 1 2
JB48_2 pick 1 2 3
JB56 pick 11 21 22 23 24 25 26 27 31 32
JB57 pick 11 12 13 14 17 19 21 31 99
JB58 pick 101 102 103 201 202 301 302 401 402 501 601 999
JB72 pick 0 1 2 3 4 9
JB73 pick 1 2 3 4 5 6 7
JD01 pick 1 1 1 2 3
JD02 pick 0 1 2 3 4 5 6 7 8 9
JD03 pick 1 2
JD04 date 2009-06-30 2011-12-31
JD09 pick 1 2 3 4 5
JC100 amount                    # 计划总投资 = 政府 + 贷款 + 自有 + 其它
JC110 amount =JC100
JC130 amount =JC100
JC150 amount =JC100
JC160 amount =JC100
JC111 amount <JC110 .2 .8
JC151 amount <JC150 .5 1
JC200 amount >JC100 1 4         # 预期达产时产值
JL00 people                     # 主要人员
JL01 people ~JL00
JL02 people ~JL00
JF100_2 amount <JC100 .2 .6     # 到位资金 = 政府 + 贷款 + 自有 + 其它
JF110_2 amount =JF100_2
JF130_2 amount =JF100_2
JF150_2 amount =JF100_2
JF160_2 amount =JF100_2
JF111_2 amount <JF110_2 .2 .8
JF151_2 amount <JF150_2 .5 1
JF200_2 amount <JF100_2 .6 1    # 项目支出
JF210_2 amount <JF200_2 .2 .7
JF300_2 amount <JF130_2 0 .5
JG20_2 amount <JC200 0 .6       # 销售收入
JG10_2 amount >JG20_2 1 1.2
JG21_2 amount <JG20_2 0 .3
JG30_2 amount <JG20_2 0 .15
JG40_2 amount <JG20_2 .02 .08
JG50_2 amount <JG40_2 0 .5
JG900 count                     # 专利
JG910 count <JG900 .2 .7
JG920 count <JG900 0 .2
JG90_2 count <JG900 .2 .8
JG91_2 count <JG90_2 0 .6
JG92_2 count <JG90_2 0 .2
)"},
        {"tzjg.db", R"(
@ amount 100000 count 20 people 15
KZ01 addr
KZ02 post
KZ04 tel
KZ05 tel
KZ06 person
KZ07 person
KZ03 date 1995-01-01 2008-12-31
KZ10 amount                     # 注册资本
KZ11 amount >KZ10 1 3
KZ12 amount <KZ11 .3 .9
KZ13 count
KZ14 count <KZ13 .7 1
KZ15 count <KZ14 .3 .9
KZ16 amount <KZ10 .02 .2
KZ17 amount <KZ16 .05 .25
KZ18 amount <KZ17 .2 .8
KZ20 people                     # 从业人员 (with the degrees at most the staff)
KZ21 people ~KZ20
KZ22 people ~KZ20
KZ23 people ~KZ20
KZ24 people <KZ20 .3 .8
KZ25 people <KZ24 .2 .8
KZ26 age
KZ30 count x2
KZ31 count <KZ30 .1 .5
KZ32 amount <KZ12 .1 .4
KZ34 amount <KZ32 .2 .6
KZ33 amount <KZ34 .3 1
KZ35 amount <KZ34 .05 .3
KZ36 count <KZ31 .7 1
)"},
        {"tsjd.db", R"(
@ amount 5000000 count 300 people 30000 pct 1
TDF912 date 2010-01-04 2010-03-31
TDF913 addr
TDF914 post
TDF915 person
TDF916 tel
TDF917 person
TDF918 tel
TDF919 tel
TDF920 web
TDF921 mail
TDF9A00 count                   # 基地内企业数
TDF9A01 count <TDF9A00 .1 .5
TDF9A02 count <TDF9A01 .1 .5
TDF9A03 count <TDF9A00 .05 .2
TDF9A04 count <TDF9A03 0 .3
TDF9A05 count <TDF9A00 .02 .15
TDF9B00 people                  # 从业人员
TDF9B01 people <TDF9B00 .2 .6
TDF9B02 people <TDF9B01 0 .03
TDF9B03 people <TDF9B01 .02 .15
TDF9B04 people <TDF9B01 0 .03
TDF9B05 people <TDF9B00 .2 .6
TDF9B06 pct
TDF9C00 count x0.01
TDF9C01 count x0.03
TDF9C02 count x0.05
TDF9C03 count x0.01
TDF9C04 count x0.01
TDF9D00 amount                  # 工业总产值
TDF9D09 amount <TDF9D00 .1 .4
TDF9D01 amount >TDF9D00 1 1.2   # 总收入 = 产品 + 技术 + 商品 (at most)
TDF9D02 amount ~TDF9D01
TDF9D03 amount ~TDF9D01
TDF9D04 amount ~TDF9D01
TDF9D05 amount <TDF9D01 0 .2
TDF9D06 amount <TDF9D00 .2 .35
TDF9D07 amount <TDF9D01 .02 .06
TDF9D08 amount <TDF9D01 .02 .1
TDF9d10 pct
TDF9D11 pct
TDF9G00 count x0.02
TDF9G01 count x0.05
TDF9G02 count x0.02
TDF9G03 count x0.05
TDF9E00 amount x0.05            # 资金总投入
TDF9E01 amount ~TDF9E00
TDF9E02 amount ~TDF9E00
TDF9E03 amount ~TDF9E00
TDF9E04 amount <TDF9E03 0 .5
TDF9E05 amount <TDF9E00 0 .2
TDF9E06 amount <TDF9E00 .1 .5
TDF9H00 count x0.01
TDF9H01 count x0.01
TDF9H02 count x0.01
TDF9H03 count x0.02
TDF9H04 count x0.02
TDF9H05 count x0.03
TDF9H06 count x0.01
TDF9H07 count x0.01
TDF9I00 count x0.02
TDF9I01 count x0.03
TDF9I02 count x0.02
TDF9I03 count x0.02
TDF9I04 count x0.02
TDF9I05 count x0.02
TDF9K00 count                   # 国内专利申请
TDF9K01 count <TDF9K00 .1 .4
TDF9K02 count <TDF9K00 .2 .5
TDF9K05 count <TDF9K00 .3 .7
TDF9K06 count <TDF9K05 0 .4
TDF9K03 count x0.05
TDF9K04 count x0.2
)"},
        {"sjgxq.db", R"(
@ amount 8000000 count 500 people 40000 area 5000000
Zgdw pick 省人民政府 市人民政府 省科学技术厅
Pzsj date 1992-01-01 2008-12-31
Pzdw pick 省人民政府 省科学技术厅
Dz addr
Yb post
Dh tel
Cz tel
Wz web
Em mail
S01 area                        # 累计开发面积
S02 amount x0.05                # 基建投资
S04 amount                      # 工业总产值
S03 amount <S04 .2 .35
S05 amount >S04 1 1.3
S06 amount <S05 0 .2
S07 amount <S05 .02 .1
S08 amount <S05 .02 .07
S09 count                       # 企业数
S10 count <S09 0 .02
S11 count <S09 .01 .1
S12 people                      # 从业人员
S15 people <S12 .2 .6
S14 people <S15 .02 .15
S13 people <S14 0 .3
)"},
        {"rjjd.db", R"(
@ amount 20000000 count 400 people 40000 area 1000000
Ke101 addr
Ke102 post
Ke103 person
Ke104 tel
Ke105 tel
A400 pick 1 2
A100 area                       # 规划用地面积
A200 area <A100 .4 1
A300 area >A200 .5 1.5
A310 area <A300 .1 .4
B100 people                     # 年末基地总人数 (degrees at most the total)
B110 people ~B100
B120 people ~B100
B130 people ~B100
B140 people ~B100
B200 people <B100 .5 .9         # 软件从业人数
B210 people ~B200
B220 people ~B200
B230 people <B200 .3 .7
B231 people <B230 .1 .4
B240 people <B200 .5 .9
C100 count                      # 企业总数
C110 count <C100 0 .02
C200 count <C100 .5 .9          # 软件企业总数, by size
C210 count =C200
C220 count =C200
C230 count =C200
C240 count =C200
C250 count =C200
C310 count <C200 .6 .9
C311 count <C310 0 .1
C320 count <C200 0 .1
C330 count <C200 0 .15
C410 count <C200 .05 .3
C510 count <C200 .3 .8
C511 count <C510 .05 .3
C512 count <C510 0 .1
C513 count <C200 0 .05
C610 count <C200 0 .02
C620 count <C200 0 .05
C630 count <C200 0 .08
C640 count <C200 0 .1
C710 count ~C200
C720 count ~C200
C730 count ~C200
C740 count ~C200
C741 count <C740 0 .5
C742 count <C740 0 .3
C810 count <C200 .05 .3         # 有出口的企业 and where they export to
C811 count <C810 0 1
C812 count <C810 0 1
C813 count <C810 0 1
C814 count <C810 0 1
D100 amount x1.2                # 资产
D200 amount                     # 总收入
D300 amount <D200 .5 .9         # 软件收入 = 产品 + 集成 + 嵌入式 + 服务
D310 amount =D300
D320 amount =D300
D330 amount =D300
D340 amount =D300
D311 amount <D310 0 .4
D341 amount <D340 0 .5
D342 amount <D340 0 .3
D350 amount <D300 .2 .6
D400 amount <D200 0 .2
D410 amount <D400 .3 .9
D411 amount <D410 .3 .9
D500 amount <D200 .02 .15
D610 amount <D200 .02 .07
D620 amount <D610 0 .5
D700 amount <D200 .2 .4
D710 amount <D700 .3 .7
E100 amount <D200 .03 .12       # 科技活动经费筹集
E110 amount ~E100
E120 amount ~E100
E130 amount ~E100
E131 amount <E130 .2 .8
E200 amount <E100 .8 1
E210 amount <E200 .3 .8
E211 amount <E210 .5 1
E212 amount <E200 .1 .4
E300 amount <D200 0 .01
E410 count x0.05
E411 count <E410 0 .5
E420 count x0.1
E500 count x5
E510 count <E500 .1 .3
E600 count x0.2
E610 count <E600 .1 .4
E700 count x2
F100 count <C200 .1 .4
F200 count <C200 .02 .1
F300 count <C200 0 .02
F400 count <C200 0 .1
)"},
        {"rjjdqy.db", R"(
@ amount 30000 people 120 count 3
Ke101 addr
Ke102 post
Ke103 person
Ke104 tel
Ke105 tel
Ke106 orgcode
C01 pick 110 151 159 160 171 173 210 310 330
C02 pick 1 1 2
C510 pick 1 1 2
C511 pick 1 2 2
C513 pick 2 2 2 2 1
C515 pick 1 2 2 2
C311 pick 1 2 2 2
C03 pick 1 2 3 4
C04 pick 1 2 3 4 5 6
C05 pick 1 2 3 4
C06 pick 1 2 3 4 5
F100 pick 1 2
F210 pick 0 2 3 4 5
F310 pick 0 2 3 4 5
B100 people                     # 年末员工人数 (degrees at most the staff)
B01 people >B100 .9 1.05
B110 people ~B100
B120 people ~B100
B130 people ~B100
B140 people ~B100
B200 people <B100 .5 .9         # 年末软件从业人数
B02 people >B200 .9 1
B210 people ~B200
B220 people ~B200
B230 people <B200 .3 .7
B231 people <B230 .1 .4
B03 people <B100 .05 .3
B04 people <B100 .02 .2
B05 pct x0.3
D200 amount                     # 总收入
D100 amount >D200 .6 1.5        # 资产
D110 amount <D100 .2 .6
D300 amount <D200 .5 .95        # 软件收入 = 产品 + 集成 + 嵌入式 + 服务
D310 amount =D300
D320 amount =D300
D330 amount =D300
D340 amount =D300
D311 amount <D310 0 .4
D341 amount <D340 0 .5
D342 amount <D340 0 .3
D350 amount <D300 .2 .6
D400 amount <D200 0 .2 ?exp
D410 amount <D400 .3 .9
D411 amount <D410 .3 .9
D500 amount <D200 .02 .15
D610 amount <D200 .02 .07
D620 amount <D610 0 .5
D700 amount <D200 .2 .4
D710 amount <D700 .3 .7
E100 amount <D200 .03 .12       # 科技活动经费筹集
E110 amount ~E100
E120 amount ~E100
E130 amount ~E100
E131 amount <E130 .2 .8
E200 amount <E100 .8 1
E210 amount <E200 .3 .8
E211 amount <E210 .5 1
E212 amount <E200 .1 .4
E300 amount <D200 0 .01
E410 count x0.2
E411 count <E410 0 .5
E420 count x0.3
E500 count x3
E510 count <E500 .1 .3
E600 count x0.3
E610 count <E600 .1 .4
E700 count
H01 amount <D100 .1 .4
H02 amount <H01 0 .2
Ke204 amount <D400 0 .3         # COSEP: exports by market
Ke205 amount <D410 .5 1
Ke206 amount ~Ke205
Ke207 amount ~Ke205
Ke208 amount ~Ke205
Ke209 amount ~Ke205
Ke210 amount <Ke205 .3 .9
Ke211 amount <D341 .5 1
Ke212 amount ~Ke211
Ke213 amount ~Ke211
Ke214 amount ~Ke211
Ke215 amount ~Ke211
Ke216 amount <Ke211 .3 .9
Ke217 amount <D342 .5 1
Ke218 amount ~Ke217
Ke219 amount ~Ke217
Ke220 amount ~Ke217
Ke221 amount ~Ke217
Ke222 amount <Ke217 .3 .9
Ke223 people <B200 0 .5 ?exp
Ke224 people ~Ke223
Ke225 people ~Ke223
Ke226 people ~Ke223
Ke227 people ~Ke223
Ke228 people ~Ke223
Ke229 people <Ke223 0 .3
Ke230 people <B100 0 .1
Ke231 people ~Ke230
Ke232 people ~Ke230
Ke233 people ~Ke230
Ke234 people ~Ke230
KE126 amount >D100 1 1          # the figures the printed summary reads
KE127 amount >D110 1 1
KE128 amount >D200 1 1
KE129 amount <D200 0 .1
KE131 amount >D300 1 1
KE132 amount >D310 1 1
KE133 amount >D330 1 1
KE130 amount >D340 1 1
KE134 amount <D340 .3 .9
KE135 amount >D341 1 1
KE136 amount >D342 1 1
KE137 amount >D350 1 1
KE138 amount >D400 1 1
KE139 amount >D410 1 1
KE140 amount >D411 1 1
KE141 amount >D500 1 1
KE142 amount >D610 1 1
KE166 amount >E200 1 1
KE167 amount >E210 1 1
KE168 amount >E211 1 1
KE143 amount >D700 1 1
KE144 amount >D710 1 1
KE145 amount <D700 .4 .9
KE146 people >B01 1 1
KE147 people >B100 1 1
KE148 people >B110 1 1
KE149 people >B120 1 1
KE150 people >B130 1 1
KE151 people >B140 1 1
KE152 people >B02 1 1
KE153 people >B200 1 1
KE154 people >B210 1 1
KE155 people >B220 1 1
KE156 people <B200 0 .2
KE157 people >B230 1 1
KE158 people >B231 1 1
KE159 people <B100 0 .15
KE160 people <B100 0 .05
KE161 people <B100 0 .1
KE162 people <B100 0 .1
)"},
        {"rjjdqycp.db", R"(
@ amount 3000
Ke190 pick 1 2 3 4 5 6
Ke191 pick 1 2 3 4
Ke192 pick 11 21 22 23 24 25 26 27 31 32
Ke193 pick 11 21 22 23 24 25 26 27 31 32
Ke194 pick 11 12 13 14 17 19 21 31 99
Ke195 pick 1 2 3 4 5
Ke196 pick 0 1 2 3
Ke198 year 2001 2009
Ke199 pick 0 1 2 3 4 9
Ke200 pick 1 2 3 4 5 6 7
Ke203 pick 1 2 3 4 5
Ke201 amount                    # 全年收入 (the generator scales it to the enterprise)
Ke202 amount <Ke201 0 .3
)"},
        {"dx.db", R"(
@ amount 50000 count 60 people 60 area 40000
TDF812 pick 教育部 省教育厅 市人民政府
TDF821 pick 1 2
TDF813 pick 1 2 3 4
TDF820 mail
TDF819 date 1999-06-01 2006-12-31
TDF814 person
TDF815 tel
TDF816 tel
TDF817 addr
TDF818 post
TDF8A00 amount                  # 资金总额 = 自有 + 政府 + 贷款 + 其他
TDF8A01 amount =TDF8A00
TDF8A02 amount =TDF8A00
TDF8A03 amount =TDF8A00
TDF8A04 amount =TDF8A00
TDF8B00 count x0.5              # 服务机构
TDF8B01 count ~TDF8B00
TDF8B02 count ~TDF8B00
TDF8B03 count ~TDF8B00
TDF8B04 count ~TDF8B00
TDF8B05 count ~TDF8B00
TDF8C00 amount x2               # 资产
TDF8C01 amount <TDF8C00 0 .2
TDF8C10 amount <TDF8C00 .5 .9
TDF8C20 amount <TDF8C00 .2 .6
TDF8C21 amount <TDF8C00 .2 .6
TDF8C22 pct x0.2
TDF8C30 amount <TDF8C00 0 .1
TDF8C40 amount <TDF8C00 0 .2
TDF8C50 amount <TDF8C00 .1 .5
TDF8C60 amount <TDF8C00 0 .1
TDF8C70 amount >TDF8C00 .8 1.5
TDF8C71 amount <TDF8C70 0 .2
TDF8D00 people                  # 管理机构从业人员
TDF8D01 people ~TDF8D00
TDF8D02 people ~TDF8D00
TDF8D04 people ~TDF8D00
TDF8D05 people ~TDF8D00
TDF8D03 people <TDF8D00 .1 .4
TDF8D06 people <TDF8D00 0 .1
TDF8E00 area                    # 场地面积 = its five kinds
TDF8E06 area <TDF8E00 .5 1
TDF8E01 area =TDF8E00
TDF8E02 area =TDF8E00
TDF8E03 area =TDF8E00
TDF8E04 area =TDF8E00
TDF8E05 area =TDF8E00
TDF8G00 count                   # 在孵企业 (the park's enterprises)
TDF8G01 count <TDF8G00 .1 .4
TDF8G03 count <TDF8G00 .1 .3
TDF8J02 count <TDF8G00 .1 .4
TDF8J03 count <TDF8G00 .1 .5
TDF8J04 count x0.5
TDF8J05 count <TDF8J04 .2 .8
TDF8J06 count <TDF8J04 0 .3
TDF8J07 count x0.8
TDF8G10 amount x3
TDF8G20 amount <TDF8G10 .3 .9
TDF8G30 amount <TDF8G10 0 .1
TDF8G40 amount <TDF8G10 .02 .07
TDF8G50 amount <TDF8G10 0 .1
TDF8F00 count x0.8              # 专利
TDF8F10 count <TDF8F00 .2 .6
TDF8F20 count <TDF8F00 .3 .8
TDF8F30 count <TDF8F20 .1 .5
TDF8F40 count x0.02
TDF8H00 people x15              # 在孵企业从业人员
TDF8H11 people ~TDF8H00
TDF8H12 people ~TDF8H00
TDF8H14 people ~TDF8H00
TDF8H15 people ~TDF8H00
TDF8H16 people ~TDF8H00
TDF8H13 people <TDF8H00 .05 .2
TDF8H17 people <TDF8H00 .3 .7
TDF8H20 people <TDF8H17 .3 .8
TDF8H21 people <TDF8H00 0 .05
TDF8M00 count x1.5              # 在园企业
TDF8M11 people x30
TDF8M12 amount x0.3
TDF8M13 count x0.5
TDF8M14 count <TDF8M13 .2 .8
TDF8M15 people x3
TDF8M16 people x2
TDF8M17 count x0.8
TDF8K40 count x0.4
TDF8K50 count <TDF8K40 0 .4
TDF8K10 amount <TDF8G10 .03 .12
TDF8K20 amount <TDF8K10 .3 .8
TDF8K30 amount <TDF8K10 .1 .5
TDF8I00 count x0.8              # 毕业企业
TDF8I01 count <TDF8I00 .1 .3
TDF8I02 count <TDF8I00 0 .05
TDF8I10 count <TDF8I00 0 .1
TDF8I11 people x20
TDF8I12 people <TDF8I11 0 .05
TDF8I20 amount x8
TDF8I30 amount <TDF8I20 .3 .9
TDF8I50 amount <TDF8I20 .02 .07
TDF8I40 amount <TDF8I20 0 .1
)"},
        {"dxzfqy.db", R"(
@ amount 3000 people 25 count 2
TDF8118 date 2001-01-01 2009-10-31
TDF8115 person
TDF8116 tel
TDF8117 tel
TDF8J100 pick 110 159 160 171 173 174 190
TDF8J101 pick 4041 4061 4111 6110 6211 6212 2720 2760 7520 7710
TDF8J102 pick 1 2 2
TDF8121 amount x0.5             # 注册资金
TDF8J103 count x0.5
TDF8J104 count
TDF8J105 count <TDF8J104 0 1
TDF8J106 count <TDF8J104 0 .5
TDF8J107 count
TDF8G210 amount                 # 在孵企业总收入
TDF8G220 amount <TDF8G210 0 .9
TDF8G230 amount <TDF8G210 0 .15
TDF8G240 amount <TDF8G210 .02 .07
TDF8G250 amount <TDF8G210 0 .1
TDF8H300 people                 # 从业人员 (degrees at most the staff)
TDF8H311 people ~TDF8H300
TDF8H312 people ~TDF8H300
TDF8H314 people ~TDF8H300
TDF8H315 people ~TDF8H300
TDF8H316 people ~TDF8H300
TDF8H313 people <TDF8H300 0 .2
TDF8H317 people <TDF8H300 .3 .8
TDF8H318 people <TDF8H317 .3 .9
TDF8H319 people <TDF8H300 0 .05
TDF8H320 people x2
TDF8H321 people <TDF8H300 0 .3
TDF8F400 count                  # 专利
TDF8F410 count <TDF8F400 .2 .6
TDF8F420 count <TDF8F400 .3 .8
TDF8F430 count <TDF8F420 .1 .5
TDF8F440 count x0.05
TDF8K600 count x0.5
TDF8K601 count <TDF8K600 0 .4
TDF8K610 amount <TDF8G210 .03 .15
TDF8K620 amount <TDF8K610 .3 .8
TDF8K630 amount <TDF8K610 .1 .5
TDF8K640 amount <TDF8K610 0 .3
TDF8K650 amount <TDF8K610 .3 .7
)"},
        {"dxxm.db", R"(
@ amount 300
Tdf8q130 pick 13 14 17 19 21 31
Tdf8q140 pick 1 2 3
Tdf8q150 amount                 # 资助金额
)"},
        {"fhq.db", R"(
@ amount 20000 count 60 people 30 area 30000
TDF713 pick 1 2 3
TDF721 pick 1 1 2
TDF716 pick 1 2
TDF719 date 1990-01-01 2008-12-31
TDF730 pick 1 2 3 4
TDF714 person
TDF715 tel
TDF717 addr
TDF718 post
TDF7J14 pick 1 2
TDF7A10 amount                  # 投资构成
TDF7A11 amount x0.5
TDF7A12 amount x0.1
TDF7A13 amount x0.1
TDF7B00 amount x0.3             # 总收入 = 服务 + 物业 + 投资 + 其它
TDF7B01 amount =TDF7B00
TDF7B04 amount =TDF7B00
TDF7B02 amount =TDF7B00
TDF7B03 amount =TDF7B00
TDF7B10 amount <TDF7B00 0 .2
TDF7B11 amount <TDF7B00 .02 .08
TDF7B15 amount <TDF7B00 0 .3
TDF7B16 amount <TDF7B15 0 .5
TDF7C00 amount x1.5             # 资产
TDF7C10 amount <TDF7C00 .5 .9
TDF7C60 amount <TDF7C00 0 .1
TDF7D00 people                  # 管理人员
TDF7D10 people <TDF7D00 .3 .8
TDF7D11 people <TDF7D00 .5 .9
TDF7D12 people <TDF7D00 0 .1
TDF7E00 area                    # 场地面积 = its four kinds
TDF7E01 area =TDF7E00
TDF7E02 area =TDF7E00
TDF7E03 area =TDF7E00
TDF7E04 area =TDF7E00
TDF7G00 count                   # 在孵企业 (the incubator's enterprises)
TDF7G02 count <TDF7G00 0 .15
TDF7G10 amount x4
TDF7G11 amount <TDF7G10 .03 .12
TDF7G12 amount <TDF7G10 0 .05
TDF7G13 amount <TDF7G10 0 .2
TDF7I06 count <TDF7G00 0 .3
TDF7I50 amount x0.01
TDF7F00 people x25
TDF7F10 people <TDF7F00 .4 .8
TDF7F11 people <TDF7F00 0 .05
TDF7F12 count <TDF7G00 0 .02
TDF7K00 count x1.2              # 知识产权
TDF7K02 count <TDF7K00 .3 .8
TDF7K03 count <TDF7K02 .1 .4
TDF7K05 count <TDF7K02 .1 .4
TDF7K06 count <TDF7K02 0 .05
TDF7K07 count <TDF7K02 0 .02
TDF7K04 count x0.02
TDF7K10 count x0.2
TDF7K11 count x0.03
TDF7I00 count x1.2              # 毕业企业
TDF7I51 amount x0.05
TDF7I52 months
TDF7I02 count <TDF7I00 .05 .2
TDF7I03 count <TDF7I02 0 .1
TDF7I04 count <TDF7I02 0 .1
TDF7I05 count <TDF7I02 0 .3
TDF7J00 people x0.1             # 创业导师
TDF7J01 people x0.2
TDF7J02 people x0.5
TDF7J03 people x3
TDF7J04 amount x0.05
TDF7J05 count <TDF7I00 0 .3
TDF7J06 months
TDF7J07 pct
TDF7J10 amount x0.2             # 运行费用 = 折旧 + 日常运营 + 其他
TDF7J11 amount =TDF7J10
TDF7J12 amount =TDF7J10
TDF7J13 amount =TDF7J10
TDF7J15 amount <TDF7B11 0 .5
TDF7J16 pct
TDF7J17 amount x0.2
TDF7J18 amount <TDF7J17 0 .5
TDF7J19 amount <TDF7J17 0 .3
TDF7J20 amount <TDF7J17 0 .2
TDF7J30 count >TDF7G00 1 1.3
)"},
        {"fhqzfqy.db", R"(
@ amount 2000 people 20 count 2 area 300
TDF731 pick 101 102 103 201 202 301 401 501 601 999
TDF740 tel
TDF750 person
TDF7L107 addr
TDF7L108 orgcode
TDF7L100 date 2000-01-01 2009-06-30
TDF7L103 pick 159 160 171 173 174 190
TDF7L104 pick 4041 4061 4111 6110 6211 6212 2720 2760 7520 7710
TDF7L105 pick 1 2 2
TDF7L112 pick 1 2 2 2
TDF7L113 pick 1 2
TDF7L110 amount x0.5            # 注册资本
TDF7L102 amount <TDF7L110 0 .5
TDF7L109 area
TDF7G210 amount                 # 总收入
TDF7G230 amount <TDF7G210 0 .15
TDF7G250 amount <TDF7G210 0 .1
TDF7G251 amount <TDF7G210 .03 .15
TDF7F600 people                 # 从业人员
TDF7F604 people <TDF7F600 .4 .9
TDF7F601 people <TDF7F604 0 .1
TDF7H300 people <TDF7F600 0 .1
TDF7K500 count                  # 知识产权
TDF7K502 count <TDF7K500 .3 .8
TDF7K503 count <TDF7K502 .1 .4
TDF7K505 count <TDF7K502 .1 .5
TDF7K506 count <TDF7K502 0 .05
TDF7K507 count <TDF7K502 0 .05
TDF7K504 count x0.02
TDF7K510 count x0.1
TDF7K511 count x0.02
TDF7K515 amount x0.05
TDF7K516 amount x0.05
)"},
    };
    return p;
}

}  // namespace

const std::string& PlanText(const std::string& table)
{
    auto it = plans().find(table);
    if (it == plans().end())
        throw std::runtime_error("no plan for " + table);
    return it->second;
}

}  // namespace sample
