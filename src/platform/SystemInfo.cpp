#include "platform/SystemInfo.h"

#include <ctime>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <memory>

namespace platform {

namespace {

// Reads the decimal number at `pos` and moves past it; 0 when there is none.
int takeNumber(std::string_view text, std::size_t& pos) {
    long value = 0;
    bool any = false;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        if (value < INT_MAX / 10)
            value = value * 10 + (text[pos] - '0');
        any = true;
        ++pos;
    }
    return any ? static_cast<int>(value) : 0;
}

struct IfAddrsDeleter {
    void operator()(ifaddrs* list) const noexcept { ::freeifaddrs(list); }
};

} // namespace

OsVersion osVersionFromUname(std::string_view sysname, std::string_view release) {
    OsVersion v;
    v.name = std::string(sysname);
    std::size_t pos = 0;
    v.major = takeNumber(release, pos);
    if (pos < release.size() && release[pos] == '.') {
        ++pos;
        v.minor = takeNumber(release, pos);
    }
    return v;
}

OsVersion operatingSystemVersion() {
    utsname u{};
    if (::uname(&u) != 0)
        return OsVersion{"Linux", 0, 0};
    return osVersionFromUname(u.sysname, u.release);
}

std::string formatOperatingSystemLine(const OsVersion& version) {
    return version.name + " " + std::to_string(version.major) + "." + std::to_string(version.minor);
}

std::string operatingSystemLine() {
    return formatOperatingSystemLine(operatingSystemVersion());
}

std::uint64_t physicalMemoryBytes() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

std::string formatPhysicalMemory(std::uint64_t bytes) {
    const std::string digits = std::to_string(bytes / 1024);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped + " KB";
}

std::string physicalMemoryText() {
    return formatPhysicalMemory(physicalMemoryBytes());
}

std::string computerName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

std::string localIpAddress() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return "127.0.0.1";
    const std::unique_ptr<ifaddrs, IfAddrsDeleter> owner(list);
    for (const ifaddrs* it = list; it; it = it->ifa_next) {
        if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET)
            continue;
        if (!(it->ifa_flags & IFF_UP) || (it->ifa_flags & IFF_LOOPBACK))
            continue;
        const auto* in = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
        char dotted[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &in->sin_addr, dotted, sizeof dotted))
            return dotted;
    }
    return "127.0.0.1";
}

std::string localDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

} // namespace platform
