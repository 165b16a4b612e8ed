#include <algorithm>

#include "platform/FileSystem.h"

namespace platform {
namespace {
constexpr char kEndOfFile = 0x1A;  // Ctrl-Z: the end of a text-mode file
}  // namespace

bool TextModeLines::Next(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    if (begin_ == end_) {
      if (ended_) break;
      begin_ = 0;
      end_ = fill_(buffer_.data(), buffer_.size());
      if (end_ == 0) {
        ended_ = true;
        break;
      }
    }
    const char* first = buffer_.data() + begin_;
    const char* last = buffer_.data() + end_;
    const char* stop = std::find_if(first, last, [](char c) { return c == '\n' || c == kEndOfFile; });
    line.append(first, stop);
    any = any || stop != first;
    begin_ = static_cast<std::size_t>(stop - buffer_.data());
    if (stop == last) continue;
    if (*stop == kEndOfFile) {
      ended_ = true;
      begin_ = end_;
      break;
    }
    ++begin_;  // the '\n'
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }
  // The last line, without a line break of its own.
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

}  // namespace platform
