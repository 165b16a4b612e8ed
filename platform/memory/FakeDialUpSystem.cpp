#include "platform/memory/FakeDialUpSystem.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

constexpr std::uint32_t kErrorBufferTooSmall = 603;
constexpr std::uint32_t kErrorInvalidSize = 632;

void WriteText(unsigned char* record, std::uint32_t offset, std::uint32_t chars,
               const std::string& text) {
  std::memcpy(record + offset, text.data(), std::min<std::size_t>(text.size(), chars));
}

class FakeRasApi final : public IRasApi {
 public:
  explicit FakeRasApi(FakeDialUpSystem& system) : system_(system) {}

  DialUpRecordLayout Layout() const override { return system_.layout; }

  std::uint32_t EnumConnections(unsigned char* buffer, std::uint32_t& bufferBytes,
                                std::uint32_t& count) override {
    system_.bufferSizes.push_back(bufferBytes);
    const std::uint32_t recordSize = system_.layout.size;
    const std::uint32_t accepted =
        system_.acceptedRecordSize != 0 ? system_.acceptedRecordSize : recordSize;
    std::uint32_t sizeField = 0;
    std::memcpy(&sizeField, buffer, sizeof(sizeField));
    if (sizeField != accepted) return kErrorInvalidSize;

    if (!system_.scriptedResults.empty()) {
      const std::uint32_t result = system_.scriptedResults.front();
      system_.scriptedResults.pop_front();
      if (result == kErrorBufferTooSmall) {
        bufferBytes = system_.grownSize != 0 ? system_.grownSize : bufferBytes + recordSize;
      }
      if (result != 0) return result;
    }
    const std::uint32_t needed = static_cast<std::uint32_t>(system_.connections.size()) * recordSize;
    count = static_cast<std::uint32_t>(system_.connections.size());
    if (bufferBytes < needed) {
      bufferBytes = needed;
      return kErrorBufferTooSmall;
    }
    for (std::size_t k = 0; k < system_.connections.size(); ++k) {
      const FakeConnection& c = system_.connections[k];
      unsigned char* record = buffer + k * recordSize;
      std::memset(record, 0, recordSize);
      std::memcpy(record, &recordSize, sizeof(recordSize));
      std::memcpy(record + system_.layout.handleOffset, &c.handle, system_.layout.handleBytes);
      WriteText(record, system_.layout.entryNameOffset, kDialUpEntryNameChars, c.entryName);
      WriteText(record, system_.layout.deviceTypeOffset, kDialUpDeviceTypeChars, c.deviceType);
      WriteText(record, system_.layout.deviceNameOffset, kDialUpDeviceNameChars, c.deviceName);
    }
    if (system_.reportedCount) count = *system_.reportedCount;
    return 0;
  }

  void HangUp(std::uint64_t connection) override { system_.hangUps.push_back(connection); }

 private:
  FakeDialUpSystem& system_;
};

}  // namespace

std::unique_ptr<IRasApi> FakeDialUpSystem::Bind() {
  if (!available) return nullptr;
  return std::make_unique<FakeRasApi>(*this);
}

}  // namespace platform
