#include "platform/MpvLibrary.h"

#include <mutex>
#include <string>

#include "platform/LoadedLibrary.h"
#include "platform/MediaPlayer.h"

namespace platform {

namespace {

std::mutex loadMutex;
const MpvLibrary* loaded = nullptr;

template <class Fn> void resolve(void* handle, const char* name, Fn& out) {
    if (!resolveFunction(handle, name, out))
        throw MediaError(std::string("The media player library lacks ") + name + ".");
}

} // namespace

const MpvLibrary& mpvLibrary() {
    std::lock_guard lock(loadMutex);
    if (loaded)
        return *loaded;
    std::string why;
    // The library's run-time name for the API version the headers describe.
    void* handle = openLibrary({"libmpv.so.2", "libmpv.so"}, why);
    if (!handle)
        throw MediaError("Cannot load the media player library: " + why);
    static MpvLibrary library;
    try {
        resolve(handle, "mpv_create", library.create);
        resolve(handle, "mpv_initialize", library.initialize);
        resolve(handle, "mpv_terminate_destroy", library.terminateDestroy);
        resolve(handle, "mpv_set_option_string", library.setOptionString);
        resolve(handle, "mpv_set_property", library.setProperty);
        resolve(handle, "mpv_get_property", library.getProperty);
        resolve(handle, "mpv_command", library.command);
        resolve(handle, "mpv_command_ret", library.commandRet);
        resolve(handle, "mpv_free_node_contents", library.freeNodeContents);
        resolve(handle, "mpv_wait_event", library.waitEvent);
        resolve(handle, "mpv_error_string", library.errorString);
    } catch (...) {
        ::dlclose(handle);
        throw;
    }
    // Stays loaded: players made later and libmpv's own threads use it until exit.
    loaded = &library;
    return library;
}

bool mpvLibraryLoaded() {
    std::lock_guard lock(loadMutex);
    return loaded != nullptr;
}

} // namespace platform
