#pragma once
// A tray shell that keeps every record it is given and refuses the messages
// a test tells it to refuse.
#include <set>
#include <utility>
#include <vector>

#include "platform/TrayShell.h"

namespace platform {

class RecordingTrayShell final : public ITrayShell {
 public:
  struct Call {
    TrayShellMessage message;
    NotifyIconRecord record;
  };

  bool NotifyIcon(TrayShellMessage message, const NotifyIconRecord& record) override {
    calls.push_back({message, record});
    return refused_.count(message) == 0;
  }
  // A handle that tells which resource it came from.
  IconHandle LoadSmallIcon(std::int32_t resourceId) override { return static_cast<IconHandle>(0x10000 + resourceId); }

  void Refuse(TrayShellMessage message) { refused_.insert(message); }

  std::vector<Call> calls;

 private:
  std::set<TrayShellMessage> refused_;
};

}  // namespace platform
