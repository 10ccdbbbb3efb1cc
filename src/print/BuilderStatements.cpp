// The builders' statements. Only plain columns and sums occur; a sum column is written "sum(F) A", with the
// table's alias in front of F where the statement names one.
#include "print/BuilderStatements.h"

namespace print {

namespace {

using Pairs = std::vector<std::pair<const char*, const char*>>;

std::vector<Column> Plain(const Pairs& pairs)
{
    std::vector<Column> out;
    for (const auto& [field, alias] : pairs) {
        out.push_back({field, alias});
    }
    return out;
}

std::vector<Column> Sums(const std::string& prefix, const Pairs& pairs)
{
    std::vector<Column> out;
    for (const auto& [field, alias] : pairs) {
        out.push_back({"sum(" + prefix + field + ")", alias});
    }
    return out;
}

Statement LargeList(const std::string& rest)
{
    return {"dqy.db",
            Plain({{"qa01", "报表编号"},
                   {"qa04", "企业名称"},
                   {"qb04", "开业时间"},
                   {"qb11", "认定"},
                   {"qb07", "进区"},
                   {"qa02", "企业所在范围"},
                   {"qb09", "企业组织机构"},
                   {"qd01", "年末从业人员数"},
                   {"qc05", "总收入"},
                   {"qc44", "工业增加值"},
                   {"qc12", "净利润"},
                   {"qc13", "实际上缴税费"},
                   {"qc11", "出口创汇总额"},
                   {"qc24", "年末资产总计"},
                   {"qc31", "年末负债合计"}}),
            "kfq_1.db",
            rest};
}

}  // namespace

std::vector<std::string> Statement::Lines(const std::string& dataFolder) const
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        out.push_back((i == 0 ? "select " : ",") + columns[i].expr + " " + columns[i].alias);
    }
    out.push_back(std::string(fromBlank == FromBlank::Leading ? " " : "") + "from \"" + dataFolder + file + "\"" +
                  rest);
    if (!where.empty()) {
        out.push_back(where);
    }
    return out;
}

const Column* Statement::Find(const std::string& alias) const
{
    for (const Column& c : columns) {
        if (c.alias == alias) {
            return &c;
        }
    }
    return nullptr;
}

std::string CountStatement::Line(const std::string& dataFolder) const
{
    return head + "\"" + dataFolder + kZoneCountSource + "\"" + rest;
}

const Statement& IndustrialList()
{
    static const Statement s{"gyqy.db",
                             Plain({{"qa01", "报表编号"},
                                    {"qa04", "企业名称"},
                                    {"qc05", "总收入"},
                                    {"qc02", "工业总产值"},
                                    {"qc44", "工业增加值"},
                                    {"qc12", "净利润"},
                                    {"qc13", "实际上缴税费"},
                                    {"qc11", "出口创汇总额"},
                                    {"qd01", "人数"}}),
                             "kfq_1.db",
                             " where qc05>=5000 and SUBSTRING(qb03 FROM 1 FOR 2)>=\"06\" and "
                             "SUBSTRING(qb03 FROM 1 FOR 2)<=\"46\" order by qc05 desc"};
    return s;
}

const Statement& ServiceList()
{
    static const Statement s = [] {
        std::string rest = " where ";
        const char* divisions[] = {"60", "61", "62", "75", "76", "77"};
        for (const char* d : divisions) {
            rest += std::string(d == divisions[0] ? "" : " or ") + "SUBSTRING(qb03 FROM 1 FOR 2)=\"" + d + "\"";
        }
        rest += " order by qc05 desc";
        return Statement{"fwqy.db",
                         Plain({{"qa01", "报表编号"},
                                {"qa04", "企业名称"},
                                {"qb03", "行业代码"},
                                {"qc05", "总收入"},
                                {"qc12", "净利润"},
                                {"qc13", "实际上缴税费"},
                                {"qd01", "人数"}}),
                         "kfq_1.db",
                         rest};
    }();
    return s;
}

const Statement& LargeEnterpriseList(LargeListMode mode)
{
    static const Statement totalIncome = LargeList(" where qc05>=100000 order by qc05 desc");
    static const Statement listed = LargeList(" where qb15<>' ' order by qc05 desc");
    return mode == LargeListMode::Listed ? listed : totalIncome;
}

const std::vector<Statement>& ZoneSums()
{
    static const std::vector<Statement> s{
        {"kfq1hz.db",
         Sums("a.", {{"qa_one", "企业数"},
                     {"QC02", "工业总产值"},
                     {"QC05", "总收入"},
                     {"QC06", "技术收入"},
                     {"QC07", "产品销售收入"},
                     {"QC09", "高新技术产品"},
                     {"QC10", "商品销售收入"},
                     {"QC49", "其他收入"},
                     {"QC03", "中间投入"},
                     {"QC43", "增加值"},
                     {"QC44", "工业增加值"},
                     {"QC11", "出口创汇总额"},
                     {"QC12", "净利润"},
                     {"QC13", "实际上缴税费总额"},
                     {"QC14", "上缴增值税"},
                     {"QC15", "上缴营业税"},
                     {"QC16", "上缴所得税"},
                     {"QC17", "减免税总额"},
                     {"QC18", "减免增值税"},
                     {"QC19", "减免营业税"},
                     {"QC20", "减免所得税"},
                     {"QC62", "应交增值税"},
                     {"QC22", "总成本与费用"},
                     {"QC23", "利息支出"},
                     {"QC24", "年末资产总计"},
                     {"QC25", "流动资产"},
                     {"QC26", "长期投资"},
                     {"QC27", "固定资产"},
                     {"QC28", "固定资产原价"},
                     {"QC29", "固定资产净值"},
                     {"QC30", "无形资产"},
                     {"QC31", "年末负债"},
                     {"QC32", "银行科技开发贷款"},
                     {"QC33", "年末所有者权益股东权益"},
                     {"QC34", "实收入资本"},
                     {"QC35", "国家资本"},
                     {"QC45", "集体资本"},
                     {"QC46", "法人资本"},
                     {"QC47", "个人资本"},
                     {"QC48", "港澳台资本"},
                     {"QC36", "外商资本"},
                     {"QC37", "盈余公积"},
                     {"QC40", "本年完成固定资产投资额"},
                     {"QC41", "工业能源消费量"},
                     {"QD01", "年末从业人员数"},
                     {"QD03", "留学归国人数"},
                     {"QD04", "留学归国硕士以上"},
                     {"QD23", "工程技术人员"},
                     {"QD21", "引进外籍专家"},
                     {"QD14", "吸纳毕业生"},
                     {"QD05", "从业人员年平均数"},
                     {"QD18", "研究生"},
                     {"QD06", "博士"},
                     {"QD07", "硕士"},
                     {"QD08", "大学"},
                     {"QD09", "大专"},
                     {"QD10", "中专"},
                     {"QD11", "高级"},
                     {"QD12", "中级"},
                     {"QD13", "初级"},
                     {"QJ09", "科技活动人员合计"},
                     {"QJ09_1", "全时"},
                     {"QJ11", "参加科技项目人员"},
                     {"QJ12", "高中级职称1"},
                     {"QJ13", "无高中级职称1"},
                     {"QJ14", "研究与试验发展人员"},
                     {"QJ15", "科技活动经费筹集总额"},
                     {"QJ23", "内部支出合计"},
                     {"QJ24", "研究与试验发展支出1"},
                     {"QJ33", "外部支出合计"},
                     {"QI09", "全部科技项目数"},
                     {"Qj53", "科技项目内部支出"},
                     {"QI01", "企业办科技机构数"},
                     {"QI07", "机构科技活动人员"},
                     {"QJ70", "新产品产值"},
                     {"QJ71", "新产品销售收入"},
                     {"QJ73", "拥有发明专利数"},
                     {"QJ55", "专利申请数"},
                     {"QJ74", "专利授权数"},
                     {"QJ58", "技术改造经费支出"}}),
         "kfq_1.db",
         " a"},
        {"kfq2hz.db",
         Sums("b.", {{"qe_one", "产品数"},
                     {"QE14", "产品全年工业总产值"},
                     {"QE15", "产品全年销售收入"},
                     {"QE16", "产品创汇"}}),
         "kfq_2.db",
         " b"},
        {"kfq3hz.db", Sums("c.", {{"qh_one", "项目数"}, {"Qh12", "项目本年经费内部支出"}}), "kfq_5.db", " c"},
    };
    return s;
}

const std::vector<CountStatement>& ZoneCounts()
{
    // 区外企业数 counts rows, so that an enterprise whose entry field is empty counts as outside.
    static const std::vector<CountStatement> s{
        {"政策区企业数", "select count(qa02) 政策区企业数 from ", " where qa02='1'"},
        {"新建区企业数", "select count(qa02) 新建区企业数 from ", " where qa02='2'"},
        {"区外企业数", "select count(*) 区外企业数 from ", " where qb07='2' or qb07 is null"},
        {"进区数", "select count(qb07) 进区数 from ", " where qb07='1'"},
        {"认定数", "select count(qb11) 认定数 from ", " where qb11='1'"},
    };
    return s;
}

const Statement& SoftwareSummary()
{
    static const Statement s{"rjqyhz.db",
                             Sums("", {{"RJJD2_ONE", "企业数"},
                                       {"KE128", "总销售收入"},
                                       {"KE129", "商品销售收入"},
                                       {"KE131", "软件收入"},
                                       {"KE132", "软件产品收入"},
                                       {"KE133", "嵌入式软件"},
                                       {"KE130", "软件技术收入"},
                                       {"KE134", "软件服务收入"},
                                       {"KE135", "ITO收入"},
                                       {"KE136", "BPO收入"},
                                       {"KE137", "自主版权收入"},
                                       {"KE138", "出口创汇额"},
                                       {"KE139", "软件出口创汇额"},
                                       {"KE140", "海关软件创汇额"},
                                       {"KE141", "净利润"},
                                       {"KE142", "上缴税金"},
                                       {"KE166", "科技活动总额"},
                                       {"KE167", "研究与试验发展"},
                                       {"KE168", "软件研发经费"},
                                       {"KE143", "增加值"},
                                       {"KE144", "劳动者报酬"},
                                       {"KE145", "软件增加值"},
                                       {"KE126", "年末企业资产"},
                                       {"KE127", "负债总额"},
                                       {"KE146", "年均员工人数"},
                                       {"KE147", "年末员工人数"},
                                       {"KE148", "博士学位"},
                                       {"KE149", "硕士学位"},
                                       {"KE150", "本科学历"},
                                       {"KE151", "大专学历"},
                                       {"KE152", "年均软件人数"},
                                       {"KE153", "年末软件人数"},
                                       {"KE154", "有5年以上人员"},
                                       {"KE155", "有2_5年"},
                                       {"KE156", "有2年以下"},
                                       {"KE157", "开发人员"},
                                       {"KE158", "测试人员"},
                                       {"KE159", "销售人员"},
                                       {"KE160", "培训人员"},
                                       {"KE161", "维护人员"},
                                       {"KE162", "项目管理人员"}}),
                             "rjjdqy.db",
                             ""};
    return s;
}

const Statement& LocalProjectSummary()
{
    static const Statement s{"dfhz.db",
                             Sums("", {{"DF_ONE", "地方级项目数"},
                                       {"JC100", "计划总投资"},
                                       {"JF1002", "当年落实资金"},
                                       {"JF1102", "政府部门资金"},
                                       {"JF1302", "贷款"},
                                       {"JF1502", "自有资金"},
                                       {"JF1402", "国外资金"},
                                       {"JG102", "当年实现产值"},
                                       {"JG202", "当年产品销售收入"},
                                       {"JG212", "出口创汇额"},
                                       {"JG302", "当年实现净利润额"},
                                       {"JG402", "当年上缴税金额"}}),
                             "dfxm2.db",
                             ""};
    return s;
}

const Statement& NationalProjectSummary()
{
    static const Statement s{"gjhz.db",
                             Sums("", {{"gj_one", "国家级项目数"},
                                       {"JC100", "计划总投资"},
                                       {"JC130", "贷款"},
                                       {"JC150", "自有资金"},
                                       {"JF100_2", "落实资金"},
                                       {"JG10_2", "产值"},
                                       {"JG20_2", "产品销售收入"},
                                       {"JG21_2", "出口创汇"},
                                       {"JG30_2", "净利润额"},
                                       {"JG40_2", "交税总额"}}),
                             "gjxm.db",
                             "",
                             "where  (is_chge='1' or is_chge='2')",
                             FromBlank::None};
    return s;
}

}  // namespace print
