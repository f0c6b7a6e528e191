#pragma once
// Tells a reader thread blocked in poll() to stop: the thread polls fd() beside its
// inputs and leaves when it becomes readable.
//
// Owns one eventfd. Thread: raise() from any thread; fd() is stable for the
// object's life. The constructor throws std::system_error when no eventfd can be made.

#include "platform/UniqueFd.h"

namespace automation {

class StopSignal {
  public:
    StopSignal();
    int fd() const { return fd_.get(); }
    void raise() noexcept;

  private:
    platform::UniqueFd fd_;
};

} // namespace automation
