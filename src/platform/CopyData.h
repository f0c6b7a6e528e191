#pragma once
// Copy-data messages between running programs: what one message carries, the
// layout of its three payload kinds, and where the receivers' sockets live.
//
// A message is a kind code and a payload whose length is the message's byte count
// (`cbData`). On the socket it is framed as the kind (32 bits), the byte count (32
// bits, both little-endian) and the payload. The payloads:
//   kind 0, text:   the characters followed by one zero byte (byte count length + 1)
//   kind 1, image:  a JPEG image stream
//   kind 2, record: 63 bytes: a short string (a length byte, then room for 50
//                   characters), a 32-bit signed integer and a date-time as a double
//                   (days since 30 December 1899, the fraction the time of day),
//                   little-endian, without padding
// Only the low byte of the kind code tells the kind.
//
// Every receiver window has a socket of its own in the copy-data folder, named after
// the window's class name and title, so a sender finds it as it would find the
// window. The folder is the user's runtime directory's "zorvex-copydata"
// ($XDG_RUNTIME_DIR, else a per-user folder in /tmp), made readable by its owner
// only, and a socket is used only when the same user owns it: no other user can send
// a receiver links, nor receive ours.
//
// Thread: any thread; nothing here keeps state.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

struct CopyData {
    std::uint32_t kind = 0; ///< `dwData`
    std::string payload;    ///< `cbData` bytes
};

/// Kinds by the low byte of the kind code.
enum class CopyDataKind : std::uint8_t { Text = 0, Image = 1, Record = 2 };

/// The largest payload a receiver takes and a sender sends.
inline constexpr std::size_t kCopyDataMaxPayload = 1 << 20;
/// The framing before the payload: kind and byte count.
inline constexpr std::size_t kCopyDataHeaderSize = 8;
/// The record's size and its short string's room.
inline constexpr std::size_t kCopyDataRecordSize = 63;
inline constexpr std::size_t kCopyDataShortStringMax = 50;

/// A payload that does not hold what its kind says; the message names what is wrong.
class CopyDataError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The sample record of kind 2.
struct CopyDataRecord {
    std::string s; ///< at most 50 bytes
    std::int32_t i = 0;
    double d = 0;
};

/// Kind 0 with `text` and its zero byte. A zero byte inside `text` ends the text
/// the receiver reads there.
CopyData textMessage(std::string_view text);
/// Kind 2; a longer `s` is cut to 50 bytes.
CopyData recordMessage(const CopyDataRecord& record);
/// Kind 1 with the image stream.
CopyData imageMessage(std::string_view jpeg);

/// The text of a kind 0 payload: the bytes before its first zero byte. Throws
/// CopyDataError when no zero byte ends it inside the payload.
std::string readText(std::string_view payload);
/// The record of a kind 2 payload, its short string cut to 50 characters whatever
/// its length byte says. Throws CopyDataError when the payload is not 63 bytes.
CopyDataRecord readRecord(std::string_view payload);

/// The framed message: header and payload. Throws CopyDataError when the payload is
/// larger than kCopyDataMaxPayload.
std::string frame(const CopyData& message);
/// Kind and byte count of a header of kCopyDataHeaderSize bytes.
std::pair<std::uint32_t, std::uint32_t> readHeader(std::string_view header);

/// The copy-data folder, made if missing. Throws std::runtime_error when it cannot
/// be made, or exists but is not a directory of this user's that only the user
/// may enter (a symbolic link, another user's, open to others).
std::string copyDataDirectory();
/// The start of the socket names of the receiver windows of `className` and
/// `title` (both written so that any text makes a plain file name).
std::string receiverSocketPrefix(std::string_view className, std::string_view title);

} // namespace platform
