#include "automation/StdioTransport.h"

#include <poll.h>

#include <array>
#include <cerrno>
#include <vector>

#include "automation/Channel.h"
#include "automation/FdWriter.h"
#include "automation/LineSplitter.h"
#include "ui/Application.h"

namespace automation {

StdioTransport::StdioTransport(Channel& channel, int in, int out)
    : channel_(channel), loop_(channel.app().loop()), present_(std::make_shared<bool>(true)),
      in_(in), out_(out), reader_([this] { readLoop(); }) {}

StdioTransport::~StdioTransport() {
    stop_.raise();
    reader_.join();
    *present_ = false;
}

void StdioTransport::readLoop() {
    const int out = out_;
    auto writer = [out](const std::string& reply) {
        // A client that stopped reading loses its replies; the program carries on.
        writeAll(out, reply + "\n");
    };
    auto post = [&](LineSplitter::Line line) {
        channel_.announce(line.text);
        loop_.post(
            [&channel = channel_, present = present_, writer, line = std::move(line)]() mutable {
                if (!*present)
                    return;
                const Channel::Presence presence = [present] { return *present; };
                if (line.overlong)
                    channel.submitOverlong(kMaxLine, writer, presence);
                else
                    channel.submit(std::move(line.text), writer, presence);
            });
    };

    LineSplitter splitter(kMaxLine);
    std::vector<LineSplitter::Line> lines;
    std::vector<char> chunk(64 * 1024);
    for (;;) {
        std::array<pollfd, 2> fds{{{stop_.fd(), POLLIN, 0}, {in_, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break; // cannot wait for input: treat as its end
        }
        if (fds[0].revents != 0)
            return; // the transport is going: no quit, its owner decides
        if (fds[1].revents == 0)
            continue;
        const ssize_t n = ::read(in_, chunk.data(), chunk.size());
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            break;
        splitter.feed({chunk.data(), static_cast<std::size_t>(n)}, lines);
        for (auto& line : lines)
            post(std::move(line));
        lines.clear();
    }
    if (auto last = splitter.finish())
        post(std::move(*last));
    channel_.announceEndOfInput();
    loop_.post([&channel = channel_, present = present_] {
        if (*present)
            channel.submitEndOfInput([present] { return *present; });
    });
}

} // namespace automation
