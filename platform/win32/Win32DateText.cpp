// Date text through the OLE Automation variant conversions of the user's
// locale (locale 0, no flags), narrowed to and widened from the ANSI code
// page, the form every text of the program takes. Their library is loaded
// from the system folder at the first conversion and then kept: a start
// that finds its last event in the stored form needs none.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "model/OleDate.h"
#include "platform/Services.h"
#include "platform/win32/SystemLibrary.h"

namespace platform {
namespace {

std::string Narrow(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::vector<char> buffer(size);
  WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer.data(), size, nullptr, nullptr);
  return std::string(buffer.data());
}

std::wstring Widen(const std::string& text) {
  const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (size <= 0) return {};
  std::vector<wchar_t> buffer(size);
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer.data(), size);
  return std::wstring(buffer.data());
}

constexpr char kAutomationLibrary[] = "oleaut32.dll";

template <typename Function>
Function Automation(const char* name) {
  return BindSystemFunction<Function, kAutomationLibrary>(name);
}

class Win32DateText final : public IDateText {
 public:
  bool DateToText(double days, std::string& out) override {
    const auto toText = Automation<HRESULT(WINAPI*)(DATE, LCID, ULONG, BSTR*)>("VarBstrFromDate");
    const auto release = Automation<void(WINAPI*)(BSTR)>("SysFreeString");
    if (toText == nullptr || release == nullptr) return false;
    BSTR text = nullptr;
    if (FAILED(toText(days, 0, 0, &text))) return false;
    out = text != nullptr ? Narrow(text) : std::string();
    release(text);
    return true;
  }

  bool UserDateAndTime(double days, std::string& date, std::string& time) override {
    Vesperon::OleDate::Fields f;
    if (!Vesperon::OleDate::Decode(days, f)) return false;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(f.year);
    st.wMonth = static_cast<WORD>(f.month);
    st.wDayOfWeek = static_cast<WORD>(f.dayOfWeek);
    st.wDay = static_cast<WORD>(f.day);
    st.wHour = static_cast<WORD>(f.hour);
    st.wMinute = static_cast<WORD>(f.minute);
    st.wSecond = static_cast<WORD>(f.second);
    char text[128];
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text) <= 0) {
      return false;
    }
    date = text;
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, sizeof text) <= 0) return false;
    time = text;
    return true;
  }

  bool TextToDate(const std::string& text, double& days) override {
    std::wstring wide = Widen(text);  // the declaration takes a non-const pointer
    const auto toDate = Automation<HRESULT(WINAPI*)(OLECHAR*, LCID, ULONG, DATE*)>("VarDateFromStr");
    if (toDate == nullptr) return false;
    DATE value = 0;
    if (FAILED(toDate(wide.data(), 0, 0, &value))) return false;
    days = value;
    return true;
  }
};

}  // namespace

IDateText& DefaultDateText() {
  static Win32DateText dateText;
  return dateText;
}
}  // namespace platform
