#pragma once
// Both sides of the action dispatcher, writing every call with its arguments
// to one shared log, in order.
#include <cstdint>
#include <string>
#include <vector>

#include "actions/ActionDispatcher.h"
#include "actions/SystemActions.h"
#include "model/Exception.h"
#include "platform/memory/LogText.h"

namespace testing_support {

using CallLog = std::vector<std::string>;

class RecordingSystemActions final : public Vesperon::ISystemActions {
 public:
  explicit RecordingSystemActions(CallLog& log) : log_(log) {}

  void ExitWindows(Vesperon::ExitRequest request) override {
    Record("ExitWindows(" + std::to_string(request) + ")");
  }
  void Suspend(bool hibernate) override {
    Record(std::string("Suspend(") + (hibernate ? "hibernate" : "stand by") + ")");
  }
  void LockWorkStation() override { Record("LockWorkStation()"); }
  void MonitorOff() override { Record("MonitorOff()"); }
  void MonitorOn() override { Record("MonitorOn()"); }
  void RunScreenSaver() override { Record("RunScreenSaver()"); }
  void RebootShell() override { Record("RebootShell()"); }
  void HangUpConnections() override { Record("HangUpConnections()"); }
  void KillProcesses() override { Record("KillProcesses()"); }
  void HangUpConnectionsMatching(const std::vector<std::string>&) override { Record("HangUpConnectionsMatching()"); }
  void KillProcessesMatching(const std::vector<std::string>&) override { Record("KillProcessesMatching()"); }
  void WakeOnLan() override { Record("WakeOnLan()"); }
  void ShowReminder() override { Record("ShowReminder()"); }

 private:
  void Record(std::string call) { log_.push_back(std::move(call)); }

  CallLog& log_;
};

class RecordingActionHost final : public Vesperon::IActionHost {
 public:
  explicit RecordingActionHost(CallLog& log) : log_(log) {}

  Vesperon::ActionId selected = -1;
  bool trayIcon = true;
  bool balloonRefused = false;  // the shell refuses it, as a missing taskbar does
  bool cursorReadable = true;
  std::int32_t cursorX = 0, cursorY = 0;

  Vesperon::ActionId SelectedActionItemData() override { return selected; }
  bool TrayIconExists() override { return trayIcon; }
  void ShowBalloon(const std::string& title, const std::string& text, std::uint32_t timeoutMs,
                   Vesperon::BalloonIcon icon) override {
    log_.push_back("Balloon(" + title + " | " + text + " | " + std::to_string(timeoutMs) +
                   " | icon " + std::to_string(icon) + ")");
    if (balloonRefused) throw Vesperon::Exception(2, Vesperon::kCategoryTaskbar);
  }
  void ShowMessage(const std::string& text) override { log_.push_back("Message(" + text + ")"); }
  void ShowWindowRestored() override { log_.push_back("ShowWindowRestored()"); }
  bool GetCursorPosition(std::int32_t& x, std::int32_t& y) override {
    if (!cursorReadable) return false;
    x = cursorX;
    y = cursorY;
    return true;
  }
  void PostTrayMenuMessage(std::uintptr_t wParam, std::intptr_t lParam) override {
    log_.push_back("PostTrayMenuMessage(" + std::to_string(wParam) + ", " +
                   platform::HexText(static_cast<std::uint64_t>(lParam)) + ")");
  }

 private:
  CallLog& log_;
};

}  // namespace testing_support
