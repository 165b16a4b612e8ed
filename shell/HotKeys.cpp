#include "shell/HotKeys.h"

namespace HotKeys {

std::string HotKeyText(std::uint16_t, std::uint16_t) { return {}; }
bool IsValidHotKeyName(const std::string&) { return false; }
void LoadHotKeyRecords(std::vector<HotKeyRecord>& records) { records.clear(); }
void ReadHotKeyRecord(HotKeyRecord& record) { record.Action = kNoActionMarker; }
void SaveHotKeyRecords(const std::vector<HotKeyRecord>&) {}
void DeleteHotKeyRecord(const HotKeyRecord&) {}
void RegisterHotKeyRecord(platform::WindowHandle, const std::string&, std::uint16_t,
                          std::uint16_t) {
  throw HotKeyException(HotKeyException::kRegistrationRefused);
}
bool UnregisterHotKeyByName(platform::WindowHandle, const std::string&) { return false; }
std::uint32_t UnregisterAllHotKeys(platform::WindowHandle) { return 0; }
std::uint32_t RegisteredHotKeyCount() { return 0; }
RegisteredHotKey RegisteredHotKeyAt(std::uint32_t) {
  throw HotKeyException(HotKeyException::kIndexOutOfRange);
}
std::uint32_t RegisterStoredHotKeys(platform::WindowHandle, Vesperon::IActionHost&) { return 0; }
std::intptr_t OnHotKey(Vesperon::ActionDispatcher&, Vesperon::IActionHost&, std::uintptr_t) {
  return 0;
}
std::uint32_t UnregisterHotKeysAtExit(platform::WindowHandle, Vesperon::IActionHost&) { return 0; }
void ResetRegisteredHotKeysForTesting() {}

}  // namespace HotKeys
