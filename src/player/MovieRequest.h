#pragma once
// The request strings the player movie takes and the reply forms it answers in.
//
// A request is exactly
//   <invoke name="NAME" returntype="xml"><arguments><string>ARGUMENT</string></arguments></invoke>
// with the argument written as it is (not escaped). Replies are short XML texts:
// a state word after "+" (statusVideo), seconds after ">" (playedVideo,
// maxTimeVideo), the text "null" while a length is not known, and an empty value
// for requests that only act.
//
// Thread: any; these are pure functions.

#include <string>
#include <string_view>

namespace player {

struct MovieRequest {
    std::string name;
    std::string argument;
    bool operator==(const MovieRequest&) const = default;
};

/// The request string for `name` with `argument`.
std::string invokeText(std::string_view name, std::string_view argument);
/// Reads a request string. Throws MovieError when it is not of the form above or
/// the name is empty or holds anything but letters, digits and underscores.
MovieRequest parseInvoke(std::string_view text);

/// "<string>+WORD</string>": the reply to statusVideo.
std::string stateReply(std::string_view word);
/// "<number>SECONDS</number>" with up to three decimals, e.g. "<number>12.5</number>".
std::string secondsReply(double seconds);
/// "<string>null</string>": a length that is not known yet.
std::string nullReply();
/// "<void/>": the reply of a request that only acts.
std::string voidReply();

} // namespace player
