#pragma once
// libmpv, loaded the first time a player is made rather than when the program
// starts: the headless program and every run that plays nothing neither map the
// library nor pay for its own dependencies (codecs, audio and video outputs).
//
// Thread: any; the first call loads the library once for the whole process, and
// the library stays loaded until the process ends.

#include <mpv/client.h>

namespace platform {

/// The libmpv functions the players call, resolved from the loaded library.
struct MpvLibrary {
    decltype(&::mpv_create) create;
    decltype(&::mpv_initialize) initialize;
    decltype(&::mpv_terminate_destroy) terminateDestroy;
    decltype(&::mpv_set_option_string) setOptionString;
    decltype(&::mpv_set_property) setProperty;
    decltype(&::mpv_get_property) getProperty;
    decltype(&::mpv_command) command;
    decltype(&::mpv_command_ret) commandRet;
    decltype(&::mpv_free_node_contents) freeNodeContents;
    decltype(&::mpv_wait_event) waitEvent;
    decltype(&::mpv_error_string) errorString;
};

/// The loaded library. Throws MediaError (with the loader's reason) when libmpv
/// or one of its functions cannot be found; a later call tries again.
const MpvLibrary& mpvLibrary();
/// Whether libmpv has been loaded into this process (by mpvLibrary()).
bool mpvLibraryLoaded();

} // namespace platform
