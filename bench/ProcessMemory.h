#pragma once
// Resident memory of a process, from /proc/PID/status: the whole of it, the part
// in anonymous pages (heap, stacks, caches) and the part in mapped files (program
// and library code and data), in KiB.

#include <sys/types.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace bench {

struct ProcessMemory {
    long rssKiB = 0;
    long anonKiB = 0;
    long fileKiB = 0;

    /// Reads the figures of process `pid` (0: this process). Throws when the
    /// process is gone.
    static ProcessMemory of(pid_t pid) {
        const std::string path =
            pid == 0 ? "/proc/self/status" : "/proc/" + std::to_string(pid) + "/status";
        std::ifstream in(path);
        if (!in)
            throw std::runtime_error("cannot read " + path);
        ProcessMemory m;
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string key;
            long value = 0;
            fields >> key >> value;
            if (key == "VmRSS:")
                m.rssKiB = value;
            else if (key == "RssAnon:")
                m.anonKiB = value;
            else if (key == "RssFile:")
                m.fileKiB = value;
        }
        return m;
    }

    /// "41.2 MiB resident (anonymous 20.1 MiB, files 21.1 MiB)".
    std::string text() const {
        char buf[128];
        std::snprintf(buf, sizeof buf, "%.1f MiB resident (anonymous %.1f MiB, files %.1f MiB)",
                      rssKiB / 1024.0, anonKiB / 1024.0, fileKiB / 1024.0);
        return buf;
    }
};

/// How many of the process's mapped files are Qt libraries.
inline int qtLibrariesMapped(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/maps");
    std::string line, last;
    int count = 0;
    while (std::getline(in, line)) {
        const auto slash = line.find('/');
        if (slash == std::string::npos)
            continue;
        const std::string file = line.substr(slash);
        if (file != last && file.find("/libQt") != std::string::npos)
            ++count;
        last = file;
    }
    return count;
}

} // namespace bench
