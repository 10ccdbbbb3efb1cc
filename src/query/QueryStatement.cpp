#include "query/QueryStatement.h"

#include <algorithm>

namespace query {

namespace {

// Joins the conditions of a group with the word between them, in one pair of parentheses.
std::string Group(const std::vector<QueryCondition>& conditions, const char* word)
{
    std::string out = "(";
    for (std::size_t i = 0; i < conditions.size(); ++i) {
        if (i > 0) {
            out += word;
        }
        out += conditions[i].text;
    }
    return out + ")";
}

}  // namespace

DictionaryTable SplitTableName(const std::string& dbName)
{
    if (dbName.size() >= 2 && dbName[dbName.size() - 2] == ' ') {
        return {dbName.substr(0, dbName.size() - 2), dbName.substr(dbName.size() - 1)};
    }
    return {dbName, ""};
}

std::string TableReference(const std::string& dbName, const std::string& dataFolder)
{
    const DictionaryTable t = SplitTableName(dbName);
    return "\"" + dataFolder + t.file + "\"" + (t.alias.empty() ? "" : " " + t.alias);
}

void AddQueryTable(std::vector<std::string>& fromList, const std::string& reference)
{
    if (reference.empty() || std::find(fromList.begin(), fromList.end(), reference) != fromList.end()) {
        return;
    }
    fromList.push_back(reference);
}

void BuildFromWhere(const QueryChoices& c, std::vector<std::string>& fromList, Lines& statement)
{
    for (const std::string& t : c.tables) {
        AddQueryTable(fromList, t);
    }
    for (const QueryCondition& q : c.allOf) {
        AddQueryTable(fromList, q.table);
    }
    for (const QueryCondition& q : c.anyOf) {
        AddQueryTable(fromList, q.table);
    }

    std::string from = fromList.empty() ? std::string() : fromList.front();
    std::string joins;
    for (std::size_t i = 1; i < fromList.size(); ++i) {
        const std::string& entry = fromList[i];
        std::string key2 = c.key.name;
        if (!key2.empty()) {
            key2[0] = entry.back();
        }
        from += "," + entry;
        joins += joins.empty() ? "(" : " and (";
        joins += c.key.name + "=" + key2 + ")";
    }
    statement.push_back(" from " + from);

    bool whereOpen = false;
    if (!joins.empty()) {
        statement.push_back(" where" + joins);
        whereOpen = true;
    }
    if (!c.extraFilter.empty()) {
        statement.push_back(whereOpen ? " and (" + c.extraFilter + ")" : " where " + c.extraFilter);
        whereOpen = true;
    }

    const bool hasAll = !c.allOf.empty(), hasAny = !c.anyOf.empty();
    if (!hasAll && !hasAny) {
        return;
    }
    const std::string all = hasAll ? Group(c.allOf, " and ") : std::string();
    const std::string any = hasAny ? Group(c.anyOf, " or ") : std::string();
    const char* between = c.between == GroupJoin::Or ? " or " : " and ";
    if (hasAll && hasAny) {
        statement.push_back(whereOpen ? " and (" + all : " where " + all);
        statement.push_back(between);
        statement.push_back(whereOpen ? any + ")" : any);
    } else {
        statement.push_back((whereOpen ? " and " : " where ") + (hasAll ? all : any));
    }
}

Lines QueryStatement(const QueryChoices& c, std::vector<std::string>* fromList)
{
    Lines out;
    std::vector<std::string> from;
    AddQueryTable(from, c.key.table);
    for (std::size_t i = 0; i < c.output.size(); ++i) {
        const QueryField& f = c.output[i];
        AddQueryTable(from, f.table);
        out.push_back((i == 0 ? "select " : ",") + f.name + " " + f.text);
    }
    if (c.output.empty()) {
        out.push_back("select *");
    }
    BuildFromWhere(c, from, out);
    for (std::size_t i = 0; i < c.sort.size(); ++i) {
        out.push_back((i == 0 ? " order by " : ",") + c.sort[i].text);
        if (c.sort[i].descending) {
            out.push_back(" desc");
        }
    }
    if (fromList) {
        *fromList = from;
    }
    return out;
}

Lines StatisticsStatement(const QueryChoices& c, std::vector<std::string>* fromList)
{
    Lines out;
    std::vector<std::string> from;
    AddQueryTable(from, c.key.table);
    if (c.sums.empty()) {
        if (fromList) {
            *fromList = from;
        }
        return out;
    }
    AddQueryTable(from, c.sums.front().table);
    for (std::size_t i = 0; i < c.groups.size(); ++i) {
        const QueryField& g = c.groups[i];
        AddQueryTable(from, g.table);
        out.push_back((i == 0 ? "select " : ",") + g.name + " " + g.text);
    }
    out.push_back(c.groups.empty() ? "select sum(" : ",sum(");
    out.push_back(c.sums.front().name + ") " + c.sums.front().text + "合计");
    for (std::size_t i = 1; i < c.sums.size(); ++i) {
        const QueryField& s = c.sums[i];
        AddQueryTable(from, s.table);
        out.push_back(",sum(" + s.name + ") " + s.text + "合计");
    }
    BuildFromWhere(c, from, out);
    for (std::size_t i = 0; i < c.groups.size(); ++i) {
        out.push_back((i == 0 ? " group by " : ",") + c.groups[i].name);
    }
    if (fromList) {
        *fromList = from;
    }
    return out;
}

std::vector<QueryField> RepeatedSums(const QueryChoices& c)
{
    std::vector<std::string> from;
    StatisticsStatement(c, &from);
    std::vector<QueryField> out;
    for (const QueryField& s : c.sums) {
        // A detail joined to its master alone meets one master record each; any other joined detail repeats it.
        const bool repeated =
            std::any_of(from.begin() + std::min<std::size_t>(1, from.size()), from.end(),
                        [&](const std::string& t) { return t != s.table; });
        if (repeated) {
            out.push_back(s);
        }
    }
    return out;
}

}  // namespace query
