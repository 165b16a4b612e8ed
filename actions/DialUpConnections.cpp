#include "actions/DialUpConnections.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "actions/ProcessList.h"
#include "model/WildcardMatch.h"
#include "platform/DialUpSystem.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"

namespace Vesperon {
namespace {

constexpr std::uint32_t kErrorNotEnoughMemory = 8;
constexpr std::uint32_t kErrorBufferTooSmall = 603;
constexpr int kMaxCalls = 5;
// Tens of thousands of connection records: no system has that many, so a
// larger request is a broken answer and is refused like a failed allocation.
constexpr std::uint32_t kMaxBufferBytes = 16u << 20;

std::int32_t ExceptionCode(std::uint32_t error) {
  switch (error) {
    case kErrorNotEnoughMemory: return RasConnectionInfoException::kOutOfMemory;
    case kErrorBufferTooSmall: return RasConnectionInfoException::kBufferTooSmall;
    default: return RasConnectionInfoException::kOtherError;
  }
}

// A text field of a record; a name that fills its field without a
// terminator ends at the field's end instead of running into the next one.
std::string ReadText(const unsigned char* record, std::uint32_t offset, std::uint32_t chars) {
  const char* text = reinterpret_cast<const char*>(record + offset);
  return std::string(text, strnlen(text, chars));
}

std::uint64_t ReadHandle(const unsigned char* record, const platform::DialUpRecordLayout& layout) {
  std::uint64_t handle = 0;
  std::memcpy(&handle, record + layout.handleOffset, std::min<std::uint32_t>(layout.handleBytes, 8));
  return handle;
}

void WriteRecordSize(unsigned char* record, std::uint32_t size) {
  std::memcpy(record, &size, sizeof(size));
}

}  // namespace

void EnumerateDialUpConnections(const std::vector<std::string>* patterns,
                                std::vector<ConnectionInfo>* list) {
  if (list != nullptr && patterns == nullptr) list->clear();
  const std::unique_ptr<platform::IRasApi> ras = platform::DialUpSystem().Bind();
  if (!ras) return;
  const platform::DialUpRecordLayout layout = ras->Layout();

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
      buffer.clear();
      result = kErrorNotEnoughMemory;
      break;
    }
    WriteRecordSize(buffer.data(), layout.size);
    count = 0;
    std::uint32_t asked = bufferBytes;
    result = ras->EnumConnections(buffer.data(), asked, count);
    bufferBytes = asked;
  }
  if (result != 0) throw RasConnectionInfoException(ExceptionCode(result));

  // Only records that lie wholly inside the buffer are read.
  const std::size_t records = std::min<std::size_t>(count, buffer.size() / layout.size);
  std::vector<std::string> upperPatterns;
  if (patterns != nullptr) {
    for (const std::string& pattern : *patterns) upperPatterns.push_back(UpperCaseCopy(pattern));
  }
  for (std::size_t k = 0; k < records; ++k) {
    const unsigned char* record = buffer.data() + k * layout.size;
    const std::string entryName =
        ReadText(record, layout.entryNameOffset, platform::kDialUpEntryNameChars);
    if (patterns != nullptr) {
      const std::string upperName = UpperCaseCopy(entryName);
      for (const std::string& pattern : upperPatterns) {
        if (WildcardMatch(pattern, upperName)) ras->HangUp(ReadHandle(record, layout));
      }
    } else if (list != nullptr) {
      list->push_back(
          {entryName, ReadText(record, layout.deviceTypeOffset, platform::kDialUpDeviceTypeChars),
           ReadText(record, layout.deviceNameOffset, platform::kDialUpDeviceNameChars)});
    }
  }
}

void HangUpConnectionsMatching(const std::vector<std::string>& patterns) {
  EnumerateDialUpConnections(&patterns, nullptr);
}

void ListDialUpConnections(std::vector<ConnectionInfo>& list) {
  EnumerateDialUpConnections(nullptr, &list);
}

void HangUpMatchingConnections() {
  const std::string section =
      "Profiles\\" + DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
  HangUpConnectionsMatching(SplitPatternList(DataSystem::ReadText(DataSystem::kToDiscon, section)));
}

}  // namespace Vesperon
