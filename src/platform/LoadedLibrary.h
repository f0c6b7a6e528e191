#pragma once
// Loading a shared library at run time: the libraries the program needs only for
// some runs (the media player, downloads) are opened on first use.

#include <dlfcn.h>

#include <initializer_list>
#include <string>

namespace platform {

/// Opens the first of `names` that loads, resolving its symbols at once and keeping
/// them out of the global namespace. Returns nullptr, and the loader's reason for
/// the first name in `why`, when none does.
inline void* openLibrary(std::initializer_list<const char*> names, std::string& why) {
    for (const char* name : names) {
        if (void* handle = ::dlopen(name, RTLD_NOW | RTLD_LOCAL))
            return handle;
        if (const char* error = ::dlerror(); error && why.empty())
            why = error;
    }
    return nullptr;
}

/// Sets `out` to the function `name` of the opened library; false when it lacks it.
template <class Fn> bool resolveFunction(void* handle, const char* name, Fn& out) {
    void* symbol = ::dlsym(handle, name);
    out = reinterpret_cast<Fn>(symbol);
    return symbol != nullptr;
}

} // namespace platform
