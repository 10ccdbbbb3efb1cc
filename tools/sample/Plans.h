// The plan text of each report table (see Plan.h).
#pragma once

#include <string>

namespace sample {

const std::string& PlanText(const std::string& table);  // raises std::runtime_error for a table without a plan

}  // namespace sample
