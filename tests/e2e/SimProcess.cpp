#include "tests/e2e/SimProcess.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <commctrl.h>
#include <prsht.h>
#include <shlwapi.h>

#include <fstream>
#include <thread>
#include <type_traits>

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
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDayOfWeek, now.wDay, hour, minute, second, 0};
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

// A window's title as the system keeps it: no message to a program that
// may be busy.
std::string Title(HWND window) {
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  return title;
}

// The first top-level dialog window of the process for which `match` holds.
HWND FindDialogWindow(DWORD pid, const std::function<bool(HWND)>& match) {
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && match(window)) return window;
  }
  return nullptr;
}

// Sends `msg` with a pointer to a copy of `data` in the program's memory
// and reads the copy back; `aim` may first point fields of `data` into the
// copy.
template <typename T>
LRESULT SendCopy(DWORD pid, HWND window, UINT msg, WPARAM w, T& data,
                 const std::type_identity_t<std::function<void(T&, char*)>>& aim = nullptr) {
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  auto* copy = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof data, MEM_COMMIT, PAGE_READWRITE));
  if (aim) aim(data, copy);
  WriteProcessMemory(process, copy, &data, sizeof data, nullptr);
  const LRESULT result = SimProcess::Send(window, msg, w, reinterpret_cast<LPARAM>(copy));
  ReadProcessMemory(process, copy, &data, sizeof data, nullptr);
  VirtualFreeEx(process, copy, 0, MEM_RELEASE);
  CloseHandle(process);
  return result;
}

// Sends a copy of `item` to a control of the program, its text pointing at
// a buffer behind it there; the text the control put in.
template <typename ItemWithText>
std::string SendForText(DWORD pid, HWND control, UINT msg, WPARAM w, const ItemWithText& item) {
  struct {
    ItemWithText item;
    char text[260];
  } block{item, {}};
  SendCopy(pid, control, msg, w, block, [](auto& b, char* copy) {
    b.item.pszText = copy + sizeof b.item;
    b.item.cchTextMax = sizeof b.text - 1;
  });
  return std::string(block.text, strnlen(block.text, sizeof block.text));
}

}  // namespace

bool CloseDialog(HWND dialog, int button) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  return WaitFor([&] { return !IsWindow(dialog); }, 5000);
}

void Choose(HWND dialog, int controlId, int index) {
  HWND combo = GetDlgItem(dialog, controlId);
  SimProcess::Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  for (const WORD note : {CBN_SELCHANGE, CBN_SELENDOK}) {
    SimProcess::Send(dialog, WM_COMMAND, MAKEWPARAM(controlId, note), reinterpret_cast<LPARAM>(combo));
  }
}

void TypeText(HWND control, const std::string& text) {
  SimProcess::Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TypeText(HWND control, const std::wstring& text) {
  SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, nullptr);
}

void Press(HWND dialog, int button) { PostMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0); }

void PostKey(HWND control, WPARAM key) {
  PostMessageA(control, WM_KEYDOWN, key, 1);
  PostMessageA(control, WM_KEYUP, key, 0xC0000001);
}

void PostChars(HWND control, const std::wstring& text) {
  for (const wchar_t c : text) PostMessageW(control, WM_CHAR, c, 1);
}

HWND CurrentPage(HWND sheet) { return reinterpret_cast<HWND>(SimProcess::Send(sheet, PSM_GETCURRENTPAGEHWND)); }

bool IsChecked(HWND button) { return SimProcess::Send(button, BM_GETCHECK) == BST_CHECKED; }

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  WaitFor([&] {
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus != nullptr;
  }, 3000);
  return info.hwndFocus;
}

int IndexOf(const std::vector<std::string>& texts, const std::string& text) {
  const auto found = std::find(texts.begin(), texts.end(), text);
  return found == texts.end() ? -1 : static_cast<int>(found - texts.begin());
}

std::vector<HWND> MainWindows() {
  std::vector<HWND> windows;
  HWND w = nullptr;
  while ((w = FindWindowExA(nullptr, w, "#32770", "Vesperon 3")) != nullptr) windows.push_back(w);
  return windows;
}

namespace {

// The processes SimProcess objects started and still own.
std::vector<DWORD> owned;

// A main window of the program left by an earlier run gets the tray's Exit,
// and its process is ended if that does not end it.
void EndStrayCopies() {
  for (HWND window : MainWindows()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (std::find(owned.begin(), owned.end(), pid) != owned.end()) continue;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(169, 0), 0);
    if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid)) {
      if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
}

}  // namespace

SimProcess::SimProcess(const std::string& exe, const std::string& journal, const std::string& arguments)
    : journal_(journal) {
  EndStrayCopies();
  DeleteFileA(journal.c_str());
  SetEnvironmentVariableA("VESPERON_ACTION_JOURNAL", journal.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info_)) {
    info_ = {};
  } else {
    owned.push_back(info_.dwProcessId);
  }
}

int SimProcess::ExitCode(int timeoutMs) const {
  DWORD code = 0;
  const bool ended = WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
  return ended && GetExitCodeProcess(info_.hProcess, &code) ? static_cast<int>(code) : -1;
}

SimProcess::~SimProcess() {
  if (!info_.hProcess) return;
  // Every case ends with the tray's Exit, which must end the program. One
  // that will not end is ours to end: the next case needs the tray and the
  // registry to itself.
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    if (!Quit()) {
      ADD_FAILURE() << "the program did not end on the tray's Exit";
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 5000);
    }
  }
  owned.erase(std::remove(owned.begin(), owned.end(), info_.dwProcessId), owned.end());
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

HWND SimProcess::MainWindow(int timeoutMs) {
  if (main_ && IsWindow(main_)) return main_;
  // The window exists before its initialisation is done: wait for the mark
  // the simulation build sets at the end of it.
  const auto ready = [](HWND w) {
    return Title(w) == "Vesperon 3" && GetPropA(w, "Vesperon.Simulation.Ready");
  };
  WaitFor([&] { return (main_ = FindDialogWindow(Id(), ready)) != nullptr; }, timeoutMs);
  return main_;
}

HWND SimProcess::WaitForBox(const std::string& caption, int timeoutMs, const std::function<bool(HWND)>& also) {
  const auto match = [&](HWND w) { return IsWindowVisible(w) && Title(w) == caption && (!also || also(w)); };
  HWND box = nullptr;
  WaitFor([&] { return (box = FindDialogWindow(Id(), match)) != nullptr; }, timeoutMs);
  return box;
}

HWND SimProcess::Shown() {
  HWND main = MainWindow();
  return main && WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000) ? main : nullptr;
}

bool SimProcess::ChooseAction(const std::string& name) {
  const int index = IndexOf(ComboExTexts(kActionList), name);
  if (index >= 0) SelectComboItem(kActionList, index);
  return index >= 0;
}

bool SimProcess::ArmCountdown(int seconds, const std::string& action) {
  SelectComboItem(kTriggerList, 1);
  SetText(kNumberField, "0");
  SetPickerTime(kTimeField, TodayAt(0, static_cast<WORD>(seconds / 60), static_cast<WORD>(seconds % 60)));
  return ChooseAction(action);
}

HWND SimProcess::OpenActionSheet(const std::string& action) {
  if (!MainWindow() || !ChooseAction(action)) return nullptr;
  PostClick(1039);
  return sheet_ = WaitForBox("Action Properties");
}

HWND SimProcess::OpenByCommand(UINT command, const std::string& caption) {
  if (HWND main = MainWindow()) PostMessageA(main, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  return WaitForBox(caption);
}

HWND SimProcess::OpenGlobalOptions(int index, int readyId) {
  if (!(sheet_ = OpenByCommand(173, "Global Options"))) return nullptr;
  ShowPage(index);
  HWND page = nullptr;
  WaitFor([&] {
    page = reinterpret_cast<HWND>(Send(sheet_, PSM_INDEXTOHWND, static_cast<WPARAM>(index)));
    return page && GetDlgItem(page, readyId) && IsWindowVisible(page);
  }, 5000);
  return page;
}

HWND SimProcess::ShowPage(int index) {
  Send(sheet_, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
  return CurrentPage(sheet_);
}

std::string SimProcess::TakeMessageBox(const std::string& caption, int timeoutMs,
                                       const std::function<bool(HWND)>& also) {
  HWND box = WaitForBox(caption, timeoutMs, also);
  if (!box) return "";
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

std::string SimProcess::Text(HWND window) {
  char text[512] = {};
  Send(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void SimProcess::SetPickerTime(int controlId, SYSTEMTIME time) {
  SendCopy(Id(), Item(controlId), DTM_SETSYSTEMTIME, GDT_VALID, time);
}

bool SimProcess::GetPickerTime(int controlId, SYSTEMTIME& time) {
  return SendCopy(Id(), Item(controlId), DTM_GETSYSTEMTIME, 0, time) == GDT_VALID;
}

std::vector<std::string> SimProcess::ComboExTexts(int controlId) {
  std::vector<std::string> texts;
  const int count = static_cast<int>(Send(Item(controlId), CB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT;
    item.iItem = i;
    texts.push_back(SendForText(Id(), Item(controlId), CBEM_GETITEMA, 0, item));
  }
  return texts;
}

std::string SimProcess::ListText(HWND list, int row, int column) {
  LVITEMA item{};
  item.iSubItem = column;
  return SendForText(Id(), list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), item);
}

std::vector<std::string> SimProcess::ListColumn(HWND list, int column) {
  std::vector<std::string> texts;
  const int count = static_cast<int>(Send(list, LVM_GETITEMCOUNT));
  for (int row = 0; row < count; ++row) texts.push_back(ListText(list, row, column));
  return texts;
}

void SimProcess::SelectListRow(HWND list, int row) {
  LVITEMA item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendCopy(Id(), list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), item);
  Send(list, LVM_SETSELECTIONMARK, 0, row);
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

bool SimProcess::JournalHas(const std::string& line, int timeoutMs) const {
  return WaitFor([&] { return IndexOf(JournalLines(), line) >= 0; }, timeoutMs);
}

namespace registry {

Value DwordValue(DWORD value) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
  return {REG_DWORD, Bytes(bytes, bytes + sizeof value)};
}

Value TextValue(const std::string& text) { return {REG_SZ, Bytes(text.c_str(), text.c_str() + text.size() + 1)}; }

std::string TextOf(const Value& value) {
  return std::string(value.data.begin(), std::find(value.data.begin(), value.data.end(), '\0'));
}

// RegQueryValueExA, not RegGetValueA, which fixes up texts.
std::optional<Value> Read(HKEY root, const std::string& path, const std::string& name) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return std::nullopt;
  Value value;
  DWORD size = 0;
  LONG result = RegQueryValueExA(h, name.c_str(), nullptr, &value.type, nullptr, &size);
  if (result == ERROR_SUCCESS) {
    value.data.assign(size + 1, 0);
    result = RegQueryValueExA(h, name.c_str(), nullptr, &value.type, value.data.data(), &size);
    value.data.resize(size);
  }
  RegCloseKey(h);
  return result == ERROR_SUCCESS ? std::optional<Value>(value) : std::nullopt;
}

bool Write(HKEY root, const std::string& path, const std::string& name, const std::optional<Value>& value) {
  HKEY h = nullptr;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG result = value ? RegSetValueExA(h, name.c_str(), 0, value->type,
                                             value->data.empty() ? nullptr : value->data.data(),
                                             static_cast<DWORD>(value->data.size()))
                            : RegDeleteValueA(h, name.c_str());
  RegCloseKey(h);
  return result == ERROR_SUCCESS;
}

namespace {

// The key `keyName` below `parent`, filed under `path`.
void Collect(HKEY parent, const std::string& keyName, const std::string& path, Values& out) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  out[path] = {};
  char name[300];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, size = 16384;
    Value value{0, Bytes(size)};
    const LONG result = RegEnumValueA(key, i, name, &nameSize, nullptr, &value.type, value.data.data(), &size);
    if (result == ERROR_NO_MORE_ITEMS) break;
    value.data.resize(size);
    if (result == ERROR_SUCCESS) out[path + "|" + name] = value;
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    Collect(key, name, path + "\\" + name, out);
  }
  RegCloseKey(key);
}
}  // namespace

Values Snapshot(HKEY root, const std::string& path) {
  Values values;
  Collect(root, path, "", values);
  return values;
}

void DeleteAll() { SHDeleteKeyA(HKEY_CURRENT_USER, kRoot); }

DWORD Dword(const std::string& key, const std::string& name) {
  DWORD value = 0xDEADBEEF;
  const auto stored = GetRaw(key, name);
  if (stored && stored->type == REG_DWORD && stored->data.size() == sizeof value) {
    std::memcpy(&value, stored->data.data(), sizeof value);
  }
  return value;
}

std::string String(const std::string& key, const std::string& name) {
  const auto stored = GetRaw(key, name);
  return stored && stored->type == REG_SZ ? TextOf(*stored) : "<missing>";
}

}  // namespace registry

ScopedValues::ScopedValues(HKEY root, std::string path, const Changes& values)
    : root_(root), path_(std::move(path)) {
  for (const auto& [name, value] : values) {
    before_.emplace_back(name, registry::Read(root_, path_, name));
    registry::Write(root_, path_, name, value);
  }
}

ScopedValues::~ScopedValues() {
  for (const auto& [name, value] : before_) registry::Write(root_, path_, name, value);
}

}  // namespace e2e
