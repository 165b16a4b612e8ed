#include "tests/e2e/SimProcess.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <commctrl.h>
#include <prsht.h>
#include <shlwapi.h>

#include <cstdio>
#include <fstream>
#include <thread>

namespace e2e {

std::string SimExe(const std::string& version) {
  const char* exe = std::getenv("VESPERON_SIM_EXE");
  std::string path = exe ? exe : "VesperonSim.exe";
  if (!version.empty()) path.replace(path.size() - 4, 4, "_" + version + ".exe");
  return path;
}

std::string JournalPath(const std::string& name) {
  char dir[MAX_PATH] = {};
  GetTempPathA(sizeof dir, dir);
  return std::string(dir) + name;
}

SYSTEMTIME TodayAt(WORD hour, WORD minute, WORD second) {
  SYSTEMTIME time{};
  GetLocalTime(&time);
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  time.wMilliseconds = 0;
  return time;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
}

namespace {

struct WindowQuery {
  DWORD pid;
  const char* className;
  const char* title;  // nullptr: any
  bool visibleOnly;
  const std::function<bool(HWND)>* also;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto& q = *reinterpret_cast<WindowQuery*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != q.pid) return TRUE;
  if (q.visibleOnly && !IsWindowVisible(window)) return TRUE;
  char cls[64] = {}, title[256] = {};
  GetClassNameA(window, cls, sizeof cls);
  GetWindowTextA(window, title, sizeof title);
  if (std::string(cls) != q.className) return TRUE;
  if (q.title && std::string(title) != q.title) return TRUE;
  if (q.also && *q.also && !(*q.also)(window)) return TRUE;
  q.found = window;
  return FALSE;
}

HWND FindProcessWindow(DWORD pid, const char* className, const char* title, bool visibleOnly,
                       const std::function<bool(HWND)>* also = nullptr) {
  WindowQuery q{pid, className, title, visibleOnly, also, nullptr};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

// Memory in the program's process, for messages that carry pointers.
class RemoteBuffer {
 public:
  RemoteBuffer(DWORD pid, SIZE_T size) : size_(size) {
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  void Write(const void* data, SIZE_T n, SIZE_T offset = 0) {
    WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, n, nullptr);
  }
  void Read(void* data, SIZE_T n, SIZE_T offset = 0) const {
    ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, n, nullptr);
  }
  LPARAM At(SIZE_T offset = 0) const {
    return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  SIZE_T size_;
};

}  // namespace

bool CloseDialog(HWND dialog, int button) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  return WaitFor([&] { return !IsWindow(dialog); }, 5000);
}

SimProcess::SimProcess(const std::string& exe, const std::string& journal) : journal_(journal) {
  DeleteFileA(journal.c_str());
  SetEnvironmentVariableA("VESPERON_ACTION_JOURNAL", journal.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string commandLine = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info_)) {
    info_ = {};
  }
}

SimProcess::~SimProcess() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    Quit(5000);
    // A program that will not end is ours to end: the next test needs the
    // tray and the registry to itself.
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 5000);
    }
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

HWND SimProcess::MainWindow(int timeoutMs) {
  if (main_ && IsWindow(main_)) return main_;
  main_ = nullptr;
  // The window exists before its initialisation is done: wait for the mark
  // the simulation build sets at the end of it.
  HWND found = nullptr;
  WaitFor(
      [&] {
        found = FindProcessWindow(Id(), "#32770", "Vesperon 3", false);
        return found && GetPropA(found, "Vesperon.Simulation.Ready") != nullptr;
      },
      timeoutMs);
  main_ = found && GetPropA(found, "Vesperon.Simulation.Ready") ? found : nullptr;
  return main_;
}

HWND SimProcess::FindMessageBox(const std::string& caption, const std::function<bool(HWND)>& also) {
  return FindProcessWindow(Id(), "#32770", caption.c_str(), true, &also);
}

HWND SimProcess::OpenByCommand(UINT command, const std::string& caption) {
  if (!MainWindow()) return nullptr;
  PostMessageA(MainWindow(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
  HWND window = nullptr;
  WaitFor([&] { return (window = FindMessageBox(caption)) != nullptr; }, 10000);
  return window;
}

HWND SimProcess::OpenGlobalOptions(int index, int readyId, HWND& sheet) {
  sheet = OpenByCommand(173, "Global Options");
  if (!sheet) return nullptr;
  Send(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
  HWND page = nullptr;
  WaitFor(
      [&] {
        page = reinterpret_cast<HWND>(Send(sheet, PSM_INDEXTOHWND, static_cast<WPARAM>(index)));
        return page && GetDlgItem(page, readyId);
      },
      5000);
  return page;
}

std::string SimProcess::TakeMessageBox(const std::string& caption, int timeoutMs) {
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = FindMessageBox(caption)) != nullptr; }, timeoutMs)) return "";
  const std::string text = Text(GetDlgItem(box, 0xFFFF));  // the box's static text
  CloseDialog(box, IDOK);
  return text;
}

bool SimProcess::Quit(int timeoutMs) {
  if (HWND main = MainWindow(1000)) PostMessageA(main, WM_COMMAND, MAKEWPARAM(169, 0), 0);
  return WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

LRESULT SimProcess::Send(HWND window, UINT msg, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, msg, w, l, SMTO_NORMAL, 5000, &result);
  return static_cast<LRESULT>(result);
}

void SimProcess::SelectComboItem(int controlId, int index) {
  HWND combo = Item(controlId);
  Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  Send(MainWindow(), WM_COMMAND, MAKEWPARAM(controlId, CBN_SELCHANGE),
       reinterpret_cast<LPARAM>(combo));
  Send(MainWindow(), WM_COMMAND, MAKEWPARAM(controlId, CBN_SELENDOK),
       reinterpret_cast<LPARAM>(combo));
}

std::string SimProcess::Text(HWND window) {
  char text[512] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void SimProcess::SetText(int controlId, const std::string& text) {
  Send(Item(controlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SimProcess::SetPickerTime(HWND picker, const SYSTEMTIME& time) {
  RemoteBuffer buffer(Id(), sizeof time);
  buffer.Write(&time, sizeof time);
  Send(picker, DTM_SETSYSTEMTIME, GDT_VALID, buffer.At());
}

bool SimProcess::GetPickerTime(int controlId, SYSTEMTIME& time) {
  RemoteBuffer buffer(Id(), sizeof time);
  const LRESULT state = Send(Item(controlId), DTM_GETSYSTEMTIME, 0, buffer.At());
  buffer.Read(&time, sizeof time);
  return state == GDT_VALID;
}

std::string SimProcess::StatusText() {
  HWND bar = Item(101);
  char text[512] = {};
  RemoteBuffer buffer(Id(), sizeof text);
  buffer.Write(text, sizeof text);
  SendMessageA(bar, SB_GETTEXTA, 0, buffer.At());
  buffer.Read(text, sizeof text - 1);
  return text;
}

std::vector<std::string> SimProcess::ComboExTexts(int controlId) {
  std::vector<std::string> texts;
  HWND combo = Item(controlId);
  const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  constexpr SIZE_T kTextSize = 256;
  RemoteBuffer buffer(Id(), sizeof(COMBOBOXEXITEMA) + kTextSize);
  for (int i = 0; i < count; ++i) {
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT;
    item.iItem = i;
    item.pszText = reinterpret_cast<char*>(buffer.At(sizeof item));
    item.cchTextMax = kTextSize;
    char empty[kTextSize] = {};
    buffer.Write(&item, sizeof item);
    buffer.Write(empty, kTextSize, sizeof item);
    SendMessageA(combo, CBEM_GETITEMA, 0, buffer.At());
    char text[kTextSize] = {};
    buffer.Read(text, kTextSize - 1, sizeof item);
    texts.emplace_back(text);
  }
  return texts;
}

std::string SimProcess::ListText(HWND list, int row, int column) {
  constexpr SIZE_T kTextSize = 260;
  RemoteBuffer buffer(Id(), sizeof(LVITEMA) + kTextSize);
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<char*>(buffer.At(sizeof item));
  item.cchTextMax = kTextSize;
  char text[kTextSize + 1] = {};
  buffer.Write(&item, sizeof item);
  buffer.Write(text, kTextSize, sizeof item);
  Send(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), buffer.At());
  buffer.Read(text, kTextSize - 1, sizeof item);
  return text;
}

std::vector<std::string> SimProcess::ListColumn(HWND list, int column) {
  std::vector<std::string> texts;
  const int count = static_cast<int>(Send(list, LVM_GETITEMCOUNT));
  for (int row = 0; row < count; ++row) texts.push_back(ListText(list, row, column));
  return texts;
}

void SimProcess::SelectListRow(HWND list, int row) {
  RemoteBuffer buffer(Id(), sizeof(LVITEMA));
  LVITEMA item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  buffer.Write(&item, sizeof item);
  Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), buffer.At());
  Send(list, LVM_SETSELECTIONMARK, 0, row);
}

int SimProcess::ListStringWidth(HWND list, const std::string& text) {
  RemoteBuffer buffer(Id(), text.size() + 1);
  buffer.Write(text.c_str(), text.size() + 1);
  return static_cast<int>(Send(list, LVM_GETSTRINGWIDTHA, 0, buffer.At()));
}

std::vector<std::string> SimProcess::JournalLines() const {
  std::vector<std::string> lines;
  std::ifstream in(journal_);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

namespace registry {

void DeleteAll() { SHDeleteKeyA(HKEY_CURRENT_USER, kRoot); }

bool KeyExists(const std::string& key) {
  HKEY h = nullptr;
  const std::string path = std::string(kRoot) + "\\" + key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

bool SetRaw(const std::string& key, const std::string& name, DWORD type, const Bytes& data) {
  HKEY h = nullptr;
  const std::string path = std::string(kRoot) + "\\" + key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG result = RegSetValueExA(h, name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                                     static_cast<DWORD>(data.size()));
  RegCloseKey(h);
  return result == ERROR_SUCCESS;
}

void SetDword(const std::string& key, const std::string& name, DWORD value) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
  SetRaw(key, name, REG_DWORD, Bytes(bytes, bytes + sizeof value));
}

void SetString(const std::string& key, const std::string& name, const std::string& value) {
  SetRaw(key, name, REG_SZ, Bytes(value.c_str(), value.c_str() + value.size() + 1));
}

// RegQueryValueExA, not RegGetValueA, which fixes up texts.
bool GetRaw(const std::string& key, const std::string& name, DWORD& type, Bytes& data) {
  HKEY h = nullptr;
  const std::string path = std::string(kRoot) + "\\" + key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) {
    return false;
  }
  DWORD size = 0;
  LONG result = RegQueryValueExA(h, name.c_str(), nullptr, &type, nullptr, &size);
  if (result == ERROR_SUCCESS) {
    data.assign(size + 1, 0);
    result = RegQueryValueExA(h, name.c_str(), nullptr, &type, data.data(), &size);
    data.resize(size);
  }
  RegCloseKey(h);
  return result == ERROR_SUCCESS;
}

DWORD Dword(const std::string& key, const std::string& name) {
  DWORD type = 0, value = 0xDEADBEEF;
  Bytes data;
  if (GetRaw(key, name, type, data) && type == REG_DWORD && data.size() == sizeof value) {
    std::memcpy(&value, data.data(), sizeof value);
  }
  return value;
}

std::string String(const std::string& key, const std::string& name) {
  DWORD type = 0;
  Bytes data;
  if (!GetRaw(key, name, type, data) || type != REG_SZ) return "<missing>";
  return std::string(data.begin(), std::find(data.begin(), data.end(), '\0'));
}

}  // namespace registry

namespace {
constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kLogPixels[] = "LogPixels";
}  // namespace

ScreenDpiSetting::ScreenDpiSetting(DWORD dpi) {
  HKEY h = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                      &h, nullptr) != ERROR_SUCCESS) {
    return;
  }
  DWORD size = 0;
  if (RegQueryValueExA(h, kLogPixels, nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
    old_.assign(size, 0);
    had_ = RegQueryValueExA(h, kLogPixels, nullptr, &oldType_, old_.data(), &size) == ERROR_SUCCESS;
  }
  RegSetValueExA(h, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(h);
}

ScreenDpiSetting::~ScreenDpiSetting() {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return;
  if (had_) {
    RegSetValueExA(h, kLogPixels, 0, oldType_, old_.data(), static_cast<DWORD>(old_.size()));
  } else {
    RegDeleteValueA(h, kLogPixels);
  }
  RegCloseKey(h);
}

}  // namespace e2e
