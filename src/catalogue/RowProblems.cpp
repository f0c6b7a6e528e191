#include "catalogue/RowProblems.h"

#include <algorithm>

namespace catalogue {

void RowProblems::add(std::string problem) {
    if (std::find(problems_.begin(), problems_.end(), problem) == problems_.end())
        problems_.push_back(std::move(problem));
}

std::string RowProblems::message() const {
    std::string text = "Some catalogue entries could not be shown and were skipped:";
    for (const auto& p : problems_)
        text += "\n" + p;
    return text;
}

} // namespace catalogue
