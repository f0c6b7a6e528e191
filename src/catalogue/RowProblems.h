#pragma once
// What an action that goes on past bad rows found, so that it can report each
// problem once when it is done instead of ending at the first one. The online load
// uses it: one bad picture or row must not take the whole catalogue away.
//
// Thread: user-interface thread only.

#include <string>
#include <vector>

namespace catalogue {

class RowProblems {
  public:
    /// Records `problem` unless the same text is recorded already.
    void add(std::string problem);
    bool empty() const { return problems_.empty(); }
    const std::vector<std::string>& list() const { return problems_; }
    /// One message for the user: a heading, then each problem on its own line.
    std::string message() const;

  private:
    std::vector<std::string> problems_;
};

} // namespace catalogue
