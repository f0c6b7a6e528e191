#pragma once
// Short media clips for player tests: two seconds of a test picture (25 frames a
// second, 160x120) with a tone, in the formats the media worker plays. They are
// made on demand with ffmpeg in a temporary folder, or taken from
// $ZORVEX_MEDIA_DIR when it holds clip.<ext> files of the same kind.
//
// Thread: the test's thread.

#include "support/TempDir.h"

#include <string>
#include <vector>

namespace mediatest {

class MediaClips {
  public:
    MediaClips();

    /// Path of the clip with extension `ext` ("wmv", "asf", "wma", "flv"); made
    /// the first time it is asked for. Throws std::runtime_error if ffmpeg fails.
    std::string clip(const std::string& ext);
    /// Writes `bytes` to a file in the clip folder and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        return tmp_.write(name, bytes);
    }
    std::string file(const std::string& name) const { return tmp_.file(name); }

    static constexpr long lengthMs = 2000;
    static constexpr long framesPerSecond = 25;

  private:
    testsupport::TempDir tmp_{"zorvex-media"};
    std::string shared_; // $ZORVEX_MEDIA_DIR, or ""
};

/// Runs a program with an argument vector, waiting for it; returns its exit
/// status (or -1 when it could not be started or did not exit normally).
int runProgram(const std::vector<std::string>& argv);

} // namespace mediatest
