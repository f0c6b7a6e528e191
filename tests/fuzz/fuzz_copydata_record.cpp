// A copy-data message as a receiver reads it from its socket: the header's kind
// and byte count, then the payload read as a text or a record. Whatever the bytes,
// reading either stops inside the payload or refuses it with CopyDataError, and a
// record read back is framed again at its fixed size.

#include "FuzzInit.h"

#include "platform/CopyData.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::text(data, size);
    if (bytes.size() >= platform::kCopyDataHeaderSize)
        (void)platform::readHeader(bytes.substr(0, platform::kCopyDataHeaderSize));
    const std::string_view payload = bytes.size() >= platform::kCopyDataHeaderSize
                                         ? bytes.substr(platform::kCopyDataHeaderSize)
                                         : bytes;
    try {
        const std::string text = platform::readText(payload);
        if (text.size() >= payload.size())
            std::abort(); // the text must end inside the payload, before its zero byte
    } catch (const platform::CopyDataError&) {
    }
    try {
        const platform::CopyDataRecord record = platform::readRecord(payload);
        if (record.s.size() > platform::kCopyDataShortStringMax)
            std::abort();
        const platform::CopyData again = platform::recordMessage(record);
        if (again.payload.size() != platform::kCopyDataRecordSize)
            std::abort();
    } catch (const platform::CopyDataError&) {
    }
    return 0;
}
