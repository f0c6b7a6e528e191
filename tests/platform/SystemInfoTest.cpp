#include <gtest/gtest.h>

#include "platform/SystemInfo.h"

#include <arpa/inet.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace {

using platform::OsVersion;

TEST(SystemInfo, TheSystemLineShowsNameMajorAndMinor) {
    struct Case {
        const char* release;
        int major;
        int minor;
    };
    for (const Case& c :
         {Case{"6.1.0-18-amd64", 6, 1}, Case{"5.15.0", 5, 15}, Case{"6.18.44-fc-v1422", 6, 18},
          Case{"4", 4, 0}, Case{"3.x-custom", 3, 0}, Case{"", 0, 0}, Case{"rc1", 0, 0}}) {
        SCOPED_TRACE(c.release);
        const OsVersion v = platform::osVersionFromUname("Linux", c.release);
        EXPECT_EQ(v.name, "Linux");
        EXPECT_EQ(v.major, c.major);
        EXPECT_EQ(v.minor, c.minor);
    }
    EXPECT_EQ(platform::formatOperatingSystemLine({"Linux", 6, 1}), "Linux 6.1");
    EXPECT_EQ(platform::formatOperatingSystemLine({"Linux", 5, 15}), "Linux 5.15");
    EXPECT_TRUE(std::regex_match(platform::operatingSystemLine(), std::regex(R"(Linux \d+\.\d+)")))
        << platform::operatingSystemLine();
}

TEST(SystemInfo, MemoryIsShownInGroupedKilobytes) {
    EXPECT_EQ(platform::formatPhysicalMemory(0), "0 KB");
    EXPECT_EQ(platform::formatPhysicalMemory(1023), "0 KB");
    EXPECT_EQ(platform::formatPhysicalMemory(999 * 1024 + 1023), "999 KB");
    EXPECT_EQ(platform::formatPhysicalMemory(1000 * 1024), "1,000 KB");
    EXPECT_EQ(platform::formatPhysicalMemory(16ull * 1024 * 1024 * 1024), "16,777,216 KB");
    EXPECT_EQ(platform::formatPhysicalMemory(123456789ull * 1024), "123,456,789 KB");

    // The kernel's own count of the memory it manages.
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kb = 0;
    while (meminfo >> key && key != "MemTotal:")
        meminfo.ignore(1000, '\n');
    meminfo >> kb;
    ASSERT_GT(kb, 0u);
    EXPECT_EQ(platform::physicalMemoryBytes() / 1024, kb);
    EXPECT_EQ(platform::physicalMemoryText(), platform::formatPhysicalMemory(kb * 1024));
}

TEST(SystemInfo, NameAndAddressDescribeThisMachine) {
    std::ifstream hostnameFile("/proc/sys/kernel/hostname");
    std::string hostname;
    std::getline(hostnameFile, hostname);
    EXPECT_EQ(platform::computerName(), hostname);

    const std::string ip = platform::localIpAddress();
    in_addr parsed{};
    ASSERT_EQ(::inet_pton(AF_INET, ip.c_str(), &parsed), 1) << ip;
    // Loopback only as the fallback for a machine without another interface.
    if (ip.rfind("127.", 0) == 0) {
        EXPECT_EQ(ip, "127.0.0.1");
    }
}

} // namespace
