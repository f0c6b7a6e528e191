#include "MediaClips.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace mediatest {

int runProgram(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0)
        return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

MediaClips::MediaClips() {
    if (const char* dir = std::getenv("ZORVEX_MEDIA_DIR"); dir && *dir)
        shared_ = dir;
}

std::string MediaClips::clip(const std::string& ext) {
    if (!shared_.empty()) {
        const auto given = std::filesystem::path(shared_) / ("clip." + ext);
        if (std::filesystem::exists(given))
            return given.string();
    }
    const std::string out = tmp_.file("clip." + ext);
    if (std::filesystem::exists(out))
        return out;

    const std::string seconds = std::to_string(lengthMs / 1000);
    std::vector<std::string> argv = {"ffmpeg", "-v", "error", "-nostdin", "-y"};
    const bool audioOnly = ext == "wma";
    if (!audioOnly) {
        argv.insert(argv.end(), {"-f", "lavfi", "-i",
                                 "testsrc=size=160x120:rate=" + std::to_string(framesPerSecond) +
                                     ":duration=" + seconds});
    }
    argv.insert(argv.end(),
                {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" + seconds});
    if (ext == "wmv")
        argv.insert(argv.end(), {"-c:v", "wmv2", "-c:a", "wmav2"});
    else if (ext == "asf")
        argv.insert(argv.end(), {"-c:v", "msmpeg4", "-c:a", "wmav2"});
    else if (ext == "wma")
        argv.insert(argv.end(), {"-c:a", "wmav2"});
    else if (ext == "flv")
        argv.insert(argv.end(), {"-c:v", "flv", "-c:a", "aac"});
    else
        throw std::runtime_error("no recipe for clip." + ext);
    argv.insert(argv.end(), {"-shortest", out});
    if (runProgram(argv) != 0)
        throw std::runtime_error("ffmpeg could not make " + out);
    return out;
}

} // namespace mediatest
