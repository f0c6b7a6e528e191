#pragma once
// Facts about this computer that the splash dialog and the usage row show: the
// operating-system line, installed physical memory, the computer name and the
// local IPv4 address.
//
// Thread: plain functions without shared state; any thread. None of them throws
// except std::bad_alloc; a fact that cannot be read gives the fallback named.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

/// The operating system as the splash dialog names it: a system name with a
/// major and minor version number.
struct OsVersion {
    std::string name;
    int major = 0;
    int minor = 0;
};

/// `sysname` as the name, and the first two numbers of a kernel release such as
/// "6.1.0-18-amd64" as major and minor (0 where a number is missing).
OsVersion osVersionFromUname(std::string_view sysname, std::string_view release);
/// This machine's version from uname(2); name "Linux" here.
OsVersion operatingSystemVersion();
/// "<name> <major>.<minor>", e.g. "Linux 6.1": the line for a system that reports
/// neither a build number nor a service pack.
std::string formatOperatingSystemLine(const OsVersion& version);
/// formatOperatingSystemLine(operatingSystemVersion()).
std::string operatingSystemLine();

/// The local date and time as "YYYY-MM-DD HH:MM:SS", the form the databases'
/// date-time columns take.
std::string localDateTime();

/// Total physical memory in bytes (all RAM the kernel manages); 0 if unknown.
std::uint64_t physicalMemoryBytes();
/// Whole kibibytes (bytes / 1024, truncated) with "," between groups of three
/// digits and " KB" after, e.g. 16777216 -> "16,384 KB".
std::string formatPhysicalMemory(std::uint64_t bytes);
/// formatPhysicalMemory(physicalMemoryBytes()).
std::string physicalMemoryText();

/// The host name of this machine; "" if it cannot be read.
std::string computerName();
/// The first IPv4 address of an interface that is up and not a loopback, dotted;
/// "127.0.0.1" when there is none.
std::string localIpAddress();

} // namespace platform
