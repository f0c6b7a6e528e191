// The player movie's replies and request strings as the program reads them: the
// state word, the seconds and whole numbers of a status poll, and an invoke text.

#include "FuzzInit.h"

#include "player/MovieRequest.h"
#include "player/PollReplies.h"

#include <exception>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply = fuzz::text(data, size);
    const std::string word = player::stateWordOf(reply);
    (void)player::statusForWord(word);
    (void)player::statusForWord(reply);
    const std::string seconds = player::secondsTextOf(reply);
    if (const auto n = player::toInteger(seconds)) {
        (void)player::elapsedText(*n);
        (void)player::percentText(*n, *n / 2 + 1);
        (void)player::seekText(*n, 1000);
        (void)player::volumeText(*n);
    }
    (void)player::toInteger(reply);
    try {
        const player::MovieRequest request = player::parseInvoke(reply);
        (void)player::invokeText(request.name, request.argument);
    } catch (const std::exception&) {
        // A request the player movie cannot read is refused with a message.
    }
    return 0;
}
