#include "platform/CopyData.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

void putLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int k = 0; k < bytes; ++k)
        out.push_back(static_cast<char>((value >> (8 * k)) & 0xFF));
}

std::uint64_t getLittleEndian(std::string_view in, std::size_t at, int bytes) {
    std::uint64_t value = 0;
    for (int k = 0; k < bytes; ++k)
        value |= std::uint64_t(static_cast<unsigned char>(in[at + k])) << (8 * k);
    return value;
}

// Letters, digits, '-' and '_' stay; every other byte becomes %XX, so a class
// name or title never makes a path of its own ('/', "..") or meets the separator.
std::string fileNamePart(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            u == '-' || u == '_') {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(hex[u >> 4]);
            out.push_back(hex[u & 0xF]);
        }
    }
    return out;
}

std::runtime_error folderError(const std::string& path, const std::string& what, int error = 0) {
    std::string message = "copy-data folder " + path + ": " + what;
    if (error)
        message += ": " + std::string(std::strerror(error));
    return std::runtime_error(message);
}

} // namespace

CopyData textMessage(std::string_view text) {
    CopyData message;
    message.kind = static_cast<std::uint32_t>(CopyDataKind::Text);
    message.payload.assign(text);
    message.payload.push_back('\0');
    return message;
}

CopyData imageMessage(std::string_view jpeg) {
    return {static_cast<std::uint32_t>(CopyDataKind::Image), std::string(jpeg)};
}

CopyData recordMessage(const CopyDataRecord& record) {
    CopyData message;
    message.kind = static_cast<std::uint32_t>(CopyDataKind::Record);
    std::string& out = message.payload;
    const std::size_t length = std::min(record.s.size(), kCopyDataShortStringMax);
    out.push_back(static_cast<char>(length));
    out.append(record.s, 0, length);
    out.resize(1 + kCopyDataShortStringMax, '\0');
    putLittleEndian(out, static_cast<std::uint32_t>(record.i), 4);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &record.d, sizeof bits);
    putLittleEndian(out, bits, 8);
    return message;
}

std::string readText(std::string_view payload) {
    const std::size_t end = payload.find('\0');
    if (end == std::string_view::npos)
        throw CopyDataError("the text does not end inside its " + std::to_string(payload.size()) +
                            " bytes");
    return std::string(payload.substr(0, end));
}

CopyDataRecord readRecord(std::string_view payload) {
    if (payload.size() != kCopyDataRecordSize)
        throw CopyDataError("a record is " + std::to_string(kCopyDataRecordSize) + " bytes, not " +
                            std::to_string(payload.size()));
    CopyDataRecord record;
    const std::size_t length =
        std::min<std::size_t>(static_cast<unsigned char>(payload[0]), kCopyDataShortStringMax);
    record.s.assign(payload.substr(1, length));
    record.i = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(getLittleEndian(payload, 1 + kCopyDataShortStringMax, 4)));
    const std::uint64_t bits = getLittleEndian(payload, 5 + kCopyDataShortStringMax, 8);
    std::memcpy(&record.d, &bits, sizeof bits);
    return record;
}

std::string frame(const CopyData& message) {
    if (message.payload.size() > kCopyDataMaxPayload)
        throw CopyDataError("the message's " + std::to_string(message.payload.size()) +
                            " bytes are more than 1 MiB");
    std::string out;
    out.reserve(kCopyDataHeaderSize + message.payload.size());
    putLittleEndian(out, message.kind, 4);
    putLittleEndian(out, message.payload.size(), 4);
    out += message.payload;
    return out;
}

std::pair<std::uint32_t, std::uint32_t> readHeader(std::string_view header) {
    return {static_cast<std::uint32_t>(getLittleEndian(header, 0, 4)),
            static_cast<std::uint32_t>(getLittleEndian(header, 4, 4))};
}

std::string copyDataDirectory() {
    std::string path;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/')
        path = std::string(runtime) + "/zorvex-copydata";
    else
        path = "/tmp/zorvex-copydata-" + std::to_string(::geteuid());
    if (::mkdir(path.c_str(), S_IRWXU) != 0 && errno != EEXIST)
        throw folderError(path, "cannot make it", errno);
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        throw folderError(path, "cannot inspect it", errno);
    if (!S_ISDIR(info.st_mode))
        throw folderError(path, "it is not a directory");
    if (info.st_uid != ::geteuid())
        throw folderError(path, "it belongs to another user");
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        throw folderError(path, "other users may enter it");
    return path;
}

std::string receiverSocketPrefix(std::string_view className, std::string_view title) {
    return fileNamePart(className) + "." + fileNamePart(title) + ".";
}

} // namespace platform
