#pragma once
// A player movie that answers from a script: it records every request and replies
// what the test set for its function name, or fails it. For the reply forms that
// a real clip cannot give on demand (fractions, "null", replies without "+").

#include <map>
#include <string>
#include <vector>

#include "player/Movie.h"
#include "player/MovieRequest.h"

namespace playertest {

class ScriptedMovie : public player::Movie {
  public:
    void loadMovie(int, const std::string& path) override { loaded.push_back(path); }
    std::string callFunction(std::string_view text) override {
        const player::MovieRequest r = player::parseInvoke(text);
        requests.push_back(r);
        if (failing.count(r.name))
            throw player::MovieError("the movie failed " + r.name);
        const auto it = replies.find(r.name);
        return it == replies.end() ? player::voidReply() : it->second;
    }
    void setSurface(const ui::MediaSurface* s) override { surface = s; }
    bool idle() const override { return true; }

    /// The requests of one function, in order.
    std::vector<std::string> argumentsOf(const std::string& name) const {
        std::vector<std::string> out;
        for (const auto& r : requests)
            if (r.name == name)
                out.push_back(r.argument);
        return out;
    }

    std::map<std::string, std::string> replies;
    std::map<std::string, bool> failing;
    std::vector<player::MovieRequest> requests;
    std::vector<std::string> loaded;
    const ui::MediaSurface* surface = nullptr;
};

} // namespace playertest
