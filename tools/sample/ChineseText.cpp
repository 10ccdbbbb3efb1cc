#include "ChineseText.h"

#include <stdexcept>

namespace sample {

namespace {

const std::vector<std::string> kSurnames = {
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林", "罗",
    "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹", "彭", "曾", "肖", "田", "董", "袁", "潘", "蒋", "蔡", "余",
    "杜", "叶", "程", "苏", "魏", "吕", "丁", "任", "沈", "姚", "卢", "姜", "崔", "钟", "谭", "陆", "汪", "范", "金", "石"};
const std::vector<std::string> kGiven = {
    "伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟", "涛", "明", "超", "秀", "霞", "平",
    "刚", "桂", "英", "华", "建", "国", "志", "文", "辉", "宇", "欣", "鹏", "海", "斌", "波", "宁", "红", "晓", "云", "峰",
    "玉", "春", "亮", "林", "雪", "琳", "晨", "东", "立", "新", "振", "博", "思", "佳", "凯", "翔", "颖", "俊", "彬", "荣"};
const std::vector<std::string> kBrand = {
    "华", "信", "达", "创", "新", "科", "源", "瑞", "通", "博", "恒", "泰", "联", "盛", "中", "天", "汇", "普", "安", "宏",
    "德", "鑫", "远", "海", "明", "智", "正", "航", "众", "凯", "立", "捷", "腾", "龙", "星", "光", "宇", "晶", "力", "能",
    "诚", "嘉", "润", "兴", "福", "康", "迈", "越", "数", "云"};
const std::vector<std::string> kRoads = {
    "科技路", "高新大道", "创业路", "学院路", "软件园路", "科学大道", "光谷大道", "文化路", "中山路", "人民路", "建设路",
    "解放路", "长江路", "黄河路", "和平路", "工业园路", "信息路", "开发大道", "创新大道", "科研路", "新华路", "东方路"};
const std::vector<std::string> kDistricts = {"高新区", "经济开发区", "开发区", "科技园", "新区", "创业园"};
const std::vector<std::string> kProductHead = {
    "高性能", "智能", "新型", "数字", "节能", "大功率", "嵌入式", "高精度", "便携式", "网络", "多功能", "低功耗", "环保型"};
const std::vector<std::string> kProjectTail = {
    "关键技术研究", "研发及产业化", "产业化示范工程", "技术开发与应用", "中试生产线建设", "关键工艺攻关", "集成与示范"};
const std::vector<std::string> kCompanyForm = {"有限公司", "有限公司", "有限公司", "股份有限公司", "有限责任公司"};
const std::string kLetters = "abcdefghijklmnopqrstuvwxyz";

struct IndustryProducts {
    std::string code;
    std::vector<std::string> nouns;
};

const std::vector<std::string>& productNouns(const Industry& industry)
{
    static const std::vector<IndustryProducts> table = {
        {"26", {"催化剂", "功能涂料", "电子化学品", "特种树脂"}},
        {"27", {"缓释片", "注射液", "原料药", "抗体试剂", "疫苗", "诊断试剂盒"}},
        {"35", {"数控机床", "工业机器人", "精密减速器", "液压系统"}},
        {"36", {"医用监护仪", "超声诊断设备", "激光加工设备", "数控设备"}},
        {"37", {"车载控制器", "汽车电子模块", "电动助力转向系统"}},
        {"39", {"变频器", "锂电池", "光伏组件", "电力电缆", "永磁电机"}},
        {"40", {"光纤收发器", "路由器", "服务器", "集成电路", "传感器", "LED照明模组", "电源模块", "通信基站"}},
        {"41", {"智能电表", "工业控制系统", "分析仪器", "流量计"}},
        {"60", {"宽带接入服务", "数据中心服务"}},
        {"61", {"系统集成服务", "云计算平台"}},
        {"62", {"ERP软件", "数据库中间件", "安全软件", "办公软件", "嵌入式软件", "地理信息系统"}},
        {"75", {"检测技术", "新材料", "新药"}},
        {"76", {"检测服务", "工程设计服务"}},
        {"77", {"技术转移服务", "科技咨询服务"}},
    };
    static const std::vector<std::string> fallback = {"控制器", "监控系统", "芯片", "传感器"};
    const std::string division = industry.code.substr(0, 2);
    for (const auto& t : table) {
        if (t.code == division)
            return t.nouns;
    }
    return fallback;
}

int utf8Chars(const std::string& s)
{
    int n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace

const std::vector<Region>& Regions()
{
    static const std::vector<Region> regions = {
        {"110", "北京", "北京", "100", "010"},      {"120", "天津", "天津", "300", "022"},
        {"130", "河北", "石家庄", "050", "0311"},   {"140", "山西", "太原", "030", "0351"},
        {"150", "内蒙古", "呼和浩特", "010", "0471"}, {"210", "辽宁", "鞍山", "114", "0412"},
        {"211", "沈阳", "沈阳", "110", "024"},      {"212", "大连", "大连", "116", "0411"},
        {"220", "吉林", "吉林", "132", "0432"},     {"221", "长春", "长春", "130", "0431"},
        {"230", "黑龙江", "大庆", "163", "0459"},   {"231", "哈尔滨", "哈尔滨", "150", "0451"},
        {"310", "上海", "上海", "200", "021"},      {"320", "江苏", "苏州", "215", "0512"},
        {"321", "南京", "南京", "210", "025"},      {"330", "浙江", "杭州", "310", "0571"},
        {"331", "宁波", "宁波", "315", "0574"},     {"340", "安徽", "合肥", "230", "0551"},
        {"350", "福建", "福州", "350", "0591"},     {"351", "厦门", "厦门", "361", "0592"},
        {"360", "江西", "南昌", "330", "0791"},     {"370", "山东", "济南", "250", "0531"},
        {"371", "青岛", "青岛", "266", "0532"},     {"410", "河南", "郑州", "450", "0371"},
        {"420", "湖北", "襄阳", "441", "0710"},     {"421", "武汉", "武汉", "430", "027"},
        {"430", "湖南", "长沙", "410", "0731"},     {"440", "广东", "佛山", "528", "0757"},
        {"441", "广州", "广州", "510", "020"},      {"442", "深圳", "深圳", "518", "0755"},
        {"450", "广西", "南宁", "530", "0771"},     {"460", "海南", "海口", "570", "0898"},
        {"500", "重庆", "重庆", "400", "023"},      {"510", "四川", "绵阳", "621", "0816"},
        {"512", "成都", "成都", "610", "028"},      {"520", "贵州", "贵阳", "550", "0851"},
        {"530", "云南", "昆明", "650", "0871"},     {"540", "西藏", "拉萨", "850", "0891"},
        {"610", "陕西", "宝鸡", "721", "0917"},     {"611", "西安", "西安", "710", "029"},
        {"620", "甘肃", "兰州", "730", "0931"},     {"630", "青海", "西宁", "810", "0971"},
        {"640", "宁夏", "银川", "750", "0951"},     {"650", "新疆", "乌鲁木齐", "830", "0991"},
        {"651", "新疆兵团", "石河子", "832", "0993"},
    };
    return regions;
}

const std::vector<Industry>& Industries()
{
    static const std::vector<Industry> industries = {
        {"2614", "有机化学原料制造", "化工"},         {"2665", "信息化学品制造", "化学"},
        {"2710", "化学药品原药制造", "制药"},         {"2720", "化学药品制剂制造", "药业"},
        {"2760", "生物、生化制品的制造", "生物"},     {"3521", "金属切削机床制造", "机床"},
        {"3591", "工业机器人制造", "机器人"},         {"3663", "电子和电工机械专用设备制造", "设备"},
        {"3681", "医疗诊断、监护及治疗设备制造", "医疗器械"}, {"3725", "汽车零部件及配件制造", "汽车电子"},
        {"3911", "发电机及发电机组制造", "电机"},     {"3931", "电线电缆制造", "线缆"},
        {"3940", "电池制造", "能源"},                 {"4011", "通信传输设备制造", "通信"},
        {"4014", "移动通信及终端设备制造", "通讯"},   {"4041", "电子计算机整机制造", "计算机"},
        {"4043", "计算机外部设备制造", "电脑"},       {"4053", "集成电路制造", "微电子"},
        {"4061", "电子元件及组件制造", "电子"},       {"4111", "工业自动控制系统装置制造", "自动化"},
        {"4141", "光学仪器制造", "光电"},             {"4190", "其他仪器仪表的制造及修理", "仪器"},
        {"6020", "互联网信息服务", "网络"},           {"6110", "计算机系统服务", "信息"},
        {"6120", "数据处理", "数据"},                 {"6211", "基础软件服务", "软件"},
        {"6212", "应用软件服务", "软件"},             {"7520", "工程和技术研究与试验发展", "技术"},
        {"7672", "工程勘察设计", "工程技术"},         {"7710", "技术推广服务", "科技"},
        {"6375", "计算机、软件及辅助设备批发", "科贸"}, {"4710", "房屋工程建筑", "建设"},
    };
    return industries;
}

bool IsIndustrial(const Industry& industry)
{
    const std::string d = industry.code.substr(0, 2);
    return d >= "06" && d <= "46";
}

std::string CutText(const std::string& s, int chars)
{
    if (utf8Chars(s) <= chars)
        return s;
    std::string out;
    int n = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80 && n++ == chars)
            break;
        out += s[i];
    }
    return out;
}

std::string ChineseText::person()
{
    std::string name = r_.pick(kSurnames) + r_.pick(kGiven);
    if (r_.chance(0.6))
        name += r_.pick(kGiven);
    return name;
}

std::string ChineseText::phone(const Region& region)
{
    const int localDigits = region.areaCode.size() == 3 ? 8 : 7;
    return region.areaCode + "-" + std::to_string(r_.between(2, 8)) + digits(localDigits - 1);
}

std::string ChineseText::postcode(const Region& region) { return region.postcode + digits(3); }

std::string ChineseText::address(const Region& region)
{
    std::string a = region.city + "市" + r_.pick(kDistricts) + r_.pick(kRoads) + std::to_string(r_.between(1, 399)) + "号";
    if (r_.chance(0.3))
        a += std::string(1, static_cast<char>('A' + r_.between(0, 3))) + "座" + std::to_string(r_.between(1, 28)) + "0" +
             std::to_string(r_.between(1, 9)) + "室";
    return a;
}

std::string ChineseText::email(const std::string& domain)
{
    static const std::vector<std::string> users = {"info", "office", "tongji", "admin", "service", "hr", "tj"};
    return r_.pick(users) + "@" + domain + ".com.cn";
}

std::string ChineseText::web(const std::string& domain) { return "www." + domain + ".com.cn"; }

std::string ChineseText::domain()
{
    for (int tries = 0;; ++tries) {
        std::string d;
        const int n = 4 + static_cast<int>(r_.between(0, 3)) + tries / 50;
        for (int i = 0; i < n; ++i)
            d += kLetters[static_cast<std::size_t>(r_.between(0, 25))];
        if (domains_.insert(d).second)
            return d;
    }
}

std::string ChineseText::unique(std::set<std::string>& used, const std::string& candidate, int tries)
{
    if (used.insert(candidate).second)
        return candidate;
    if (tries > 1000)
        throw std::runtime_error("no unique name left for " + candidate);
    return {};
}

std::string ChineseText::brand() { return r_.pick(kBrand) + r_.pick(kBrand); }

std::string ChineseText::company(const Region& region, const Industry& industry)
{
    for (int tries = 0;; ++tries) {
        std::string name = (r_.chance(0.7) ? region.city : std::string()) + brand();
        if (tries > 20)
            name += r_.pick(kBrand);
        name += industry.word + (r_.chance(0.5) ? "科技" : "技术") + r_.pick(kCompanyForm);
        auto n = unique(companies_, name, tries);
        if (!n.empty())
            return n;
    }
}

std::string ChineseText::institution(const Region& region, const std::string& suffix)
{
    for (int tries = 0;; ++tries) {
        std::string name = region.city + brand() + (tries > 20 ? r_.pick(kBrand) : std::string()) + suffix;
        auto n = unique(institutions_, name, tries);
        if (!n.empty())
            return n;
    }
}

std::string ChineseText::university(const Region& region)
{
    static const std::vector<std::string> kinds = {"大学", "理工大学", "科技大学", "工业大学", "师范大学", "交通大学"};
    for (int tries = 0;; ++tries) {
        std::string name = region.city + (tries > 5 ? brand() : std::string()) + r_.pick(kinds);
        auto n = unique(institutions_, name, tries);
        if (!n.empty())
            return n;
    }
}

std::string ChineseText::product(const Industry& industry)
{
    return r_.pick(kProductHead) + r_.pick(productNouns(industry));
}

std::string ChineseText::project(const Industry& industry)
{
    return r_.pick(kProductHead) + r_.pick(productNouns(industry)) + r_.pick(kProjectTail);
}

std::string ChineseText::organisationCode()
{
    static const int weights[8] = {3, 7, 9, 10, 5, 8, 4, 2};
    for (;;) {
        std::string body = digits(8);
        int sum = 0;
        for (int i = 0; i < 8; ++i)
            sum += (body[static_cast<std::size_t>(i)] - '0') * weights[i];
        const int c = 11 - sum % 11;
        const char check = c == 10 ? 'X' : c == 11 ? '0' : static_cast<char>('0' + c);
        std::string code = body + "-" + check;
        if (codes_.insert(code).second)
            return code;
    }
}

std::string ChineseText::digits(int count)
{
    std::string s;
    for (int i = 0; i < count; ++i)
        s += static_cast<char>('0' + r_.between(0, 9));
    return s;
}

}  // namespace sample
