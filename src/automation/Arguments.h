#pragma once
// The arguments of one automation command (what follows the command name in the
// request's command array), with typed access that reports a client's mistake as a
// RequestError naming the command and the argument.
//
// Thread: the user-interface thread, while the channel handles the request.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace automation {

/// A request the client got wrong. The channel turns it into an error reply with
/// the message as given; nothing of the request has been carried out.
class RequestError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Arguments {
  public:
    /// `values` is the command array without its name; it must outlive this object.
    Arguments(std::string_view command, const nlohmann::json& values);

    const std::string& command() const { return command_; }
    std::size_t size() const { return values_.size(); }

    /// Throws RequestError unless there are between `min` and `max` arguments.
    /// `usage` names them for the message, e.g. "CONTROL PROPERTY VALUE".
    void expectCount(std::size_t min, std::size_t max, std::string_view usage) const;

    /// The argument at `index` (0 is the first after the name). Throws RequestError
    /// naming `what` when it is missing or of another type.
    const nlohmann::json& at(std::size_t index, std::string_view what) const;
    std::string string(std::size_t index, std::string_view what) const;
    std::int64_t integer(std::size_t index, std::string_view what, std::int64_t min,
                         std::int64_t max) const;
    const nlohmann::json& object(std::size_t index, std::string_view what) const;

    /// Builds the message of a RequestError about this command.
    RequestError error(std::string_view message) const;

  private:
    std::string command_;
    const nlohmann::json& values_;
};

/// Reads `value` as an integer in [min, max]; throws RequestError "`context`: `what`
/// must be ..." otherwise. Fractions are refused rather than rounded.
std::int64_t requireInteger(const nlohmann::json& value, std::string_view context,
                            std::string_view what, std::int64_t min, std::int64_t max);
/// Reads `value` as a string; throws RequestError otherwise.
std::string requireString(const nlohmann::json& value, std::string_view context,
                          std::string_view what);
/// Reads `value` as a boolean; throws RequestError otherwise.
bool requireBool(const nlohmann::json& value, std::string_view context, std::string_view what);

} // namespace automation
