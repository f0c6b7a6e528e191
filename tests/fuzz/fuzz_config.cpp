// zorvex.ini: any text either parses into settings or is refused with a message;
// nothing else may happen.

#include "FuzzInit.h"

#include "app/Config.h"

#include <exception>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const app::Config config = app::Config::parse(fuzz::text(data, size), "fuzz.ini");
        (void)config.catalogue();
        (void)config.get("search", "excluded_host");
        (void)config.get("resolver", "ifilm_marker");
    } catch (const std::exception&) {
        // A refused file: the program prints the message and stops.
    }
    return 0;
}
