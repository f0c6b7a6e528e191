#pragma once
// How the status poll and the transport bar read the movie's replies and write
// what they show: the state word, the seconds, the percentage played, the elapsed
// time and the seek target. The arithmetic is single precision, as the slider and
// the time label have always shown it.
//
// Thread: any; these are pure functions.

#include <optional>
#include <string>
#include <string_view>

namespace player {

/// The state word of a statusVideo reply: the text after the first "+" (from the
/// start when there is none), at most 100 characters, cut before the first "<".
std::string stateWordOf(std::string_view reply);
/// The status text for a state word ("playing" -> "Playing", "loading" ->
/// "Loading..", ...), or nullopt for a word the poll does not know.
std::optional<std::string> statusForWord(std::string_view word);
/// The seconds text of a playedVideo or maxTimeVideo reply: at most 10 characters
/// after the first ">" (from the start when there is none), cut before the first
/// "." or, when there is none, before the first "<". "null" stays "null".
std::string secondsTextOf(std::string_view reply);
/// A decimal integer (optional sign, digits only, 32 bits), or nullopt.
std::optional<int> toInteger(std::string_view text);

/// The percentage text before its "%": played / total x 100 in single precision,
/// written in general format (15 significant digits), "0" when total is 0 or the
/// result is not finite; the part before the decimal point, or the first three
/// characters when there is none. 12 of 50 gives "24".
std::string percentText(int played, int total);
/// "M : SS" for whole seconds, " : 0" before seconds below 10: 65 gives "1 : 05".
std::string elapsedText(int seconds);
/// The timeVideo argument for a seek slider released at `position` (of 100) with a
/// total of `total` seconds: (position / 100) x total in single precision, the part
/// before the decimal point, or the first 9 characters when there is none. 50 of
/// 121 gives "60".
std::string seekText(int position, int total);
/// The volumeVideo argument for the volume slider (0 to 1000): position div 10.
std::string volumeText(int position);

} // namespace player
