#include <algorithm>
#include <cstring>
#include <new>

#include "platform/DialUpSystem.h"

namespace platform {
namespace {

constexpr std::uint32_t kErrorNotEnoughMemory = 8;
constexpr std::uint32_t kErrorBufferTooSmall = 603;
constexpr int kMaxCalls = 5;
// Tens of thousands of connection records: no system has that many, so a
// larger request is a broken answer and is refused like a failed allocation.
constexpr std::uint32_t kMaxBufferBytes = 16u << 20;

// A text field of a record; a name that fills its field without a
// terminator ends at the field's end instead of running into the next one.
std::string ReadText(const unsigned char* record, std::uint32_t offset, std::uint32_t chars) {
  const char* text = reinterpret_cast<const char*>(record + offset);
  return std::string(text, strnlen(text, chars));
}

}  // namespace

std::uint32_t ReadDialUpRecords(const DialUpRecordLayout& layout, const RasEnumerate& enumerate,
                                std::vector<DialUpConnection>& out) {
  out.clear();
  std::vector<unsigned char> buffer;
  std::uint32_t bufferBytes = layout.size;
  std::uint32_t count = 0;
  std::uint32_t result = kErrorBufferTooSmall;
  for (int call = 0; call < kMaxCalls && result == kErrorBufferTooSmall; ++call) {
    // The first record's size field must fit, whatever size the system asked for.
    bufferBytes = std::max(bufferBytes, layout.size);
    try {
      if (bufferBytes > kMaxBufferBytes) throw std::bad_alloc();
      buffer.assign(bufferBytes, 0);
    } catch (const std::bad_alloc&) {
      return kErrorNotEnoughMemory;
    }
    std::memcpy(buffer.data(), &layout.size, sizeof(layout.size));
    count = 0;
    result = enumerate(buffer.data(), bufferBytes, count);
  }
  if (result != 0) return result;
  // Only records that lie wholly inside the buffer are read.
  const std::size_t records = std::min<std::size_t>(count, buffer.size() / layout.size);
  for (std::size_t k = 0; k < records; ++k) {
    const unsigned char* record = buffer.data() + k * layout.size;
    DialUpConnection connection;
    std::memcpy(&connection.handle, record + layout.handleOffset,
                std::min<std::uint32_t>(layout.handleBytes, 8));
    connection.entryName = ReadText(record, layout.entryNameOffset, kDialUpEntryNameChars);
    connection.deviceType = ReadText(record, layout.deviceTypeOffset, kDialUpDeviceTypeChars);
    connection.deviceName = ReadText(record, layout.deviceNameOffset, kDialUpDeviceNameChars);
    out.push_back(std::move(connection));
  }
  return 0;
}

}  // namespace platform
