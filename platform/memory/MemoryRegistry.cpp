#include "platform/memory/MemoryRegistry.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>
#include <utility>

namespace platform {

namespace {

using Value = MemoryRegistry::Value;

// Rights that change a key: asking for any of them on a read-only key is
// refused. The generic rights are mapped first, as the system does.
constexpr std::uint32_t kWriteRights = kKeySetValue | kKeyCreateSubKey | 0x0020 /* link */;
constexpr std::uint32_t kGenericAll = 0x10000000, kGenericWrite = 0x40000000,
                        kGenericRead = 0x80000000;

std::uint32_t MapGenericRights(std::uint32_t access) {
  if (access & kGenericAll) access |= kKeyAllAccess;
  if (access & kGenericWrite) access |= kKeyWrite;
  if (access & kGenericRead) access |= kKeyRead;
  return access & ~(kGenericAll | kGenericWrite | kGenericRead);
}

// Windows compares names by their upper-case form. Besides ASCII this folds
// the Latin letters of the Western ANSI code page (1252), the one the
// program's texts are in. Separators become zero bytes, so that a key sorts
// before its siblings' and its own subkeys follow it.
char FoldChar(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c == '\\') return '\0';
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return char(c - 0x20);
  switch (c) {
    case 0x9A: return char(0x8A);  // s caron
    case 0x9C: return char(0x8C);  // oe
    case 0x9E: return char(0x8E);  // z caron
    case 0xFF: return char(0x9F);  // y diaeresis
    default: return ch;
  }
}

std::string Fold(std::string name) {
  for (char& c : name) c = FoldChar(c);
  return name;
}

// Splits a key path into its names; empty components (doubled or trailing
// backslashes) are skipped as the registry does, a leading one is refused.
long SplitPath(const std::string& path, std::vector<std::string>& parts) {
  std::istringstream in(path);
  for (std::string part; std::getline(in, part, '\\');) {
    if (!part.empty()) parts.push_back(part);
  }
  return !path.empty() && path[0] == '\\' ? kErrorBadPathname : kOk;
}

Value* FindValue(std::vector<Value>& values, const std::string& name) {
  for (Value& v : values) {
    if (Fold(v.name) == Fold(name)) return &v;
  }
  return nullptr;
}

void MergeValues(std::vector<Value>& into, const std::vector<Value>& from) {
  for (const Value& v : from) {
    if (Value* existing = FindValue(into, v.name)) {
      *existing = Value{existing->name, v.type, v.data};
    } else {
      into.push_back(v);
    }
  }
}

std::string RootPath(RegKey key) {
  switch (key) {
    case kCurrentUser: return "HKEY_CURRENT_USER";
    case kLocalMachine: return "HKEY_LOCAL_MACHINE";
    case kUsers: return "HKEY_USERS";
    default: return std::string();
  }
}

// The saved-tree file: a header line, then one "K" line per key (its path
// below the saved key, parents before children) followed by one "V" line per
// value (type, name, data), and a closing "END" line that proves the file is
// complete. Names, paths and data are written in hexadecimal ("-" for
// empty), so any byte survives the round trip.
constexpr const char* kFileHeader = "VESPERON-REGISTRY-TREE 1";

std::string ToHex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  if (bytes.empty()) return "-";
  std::string hex;
  for (unsigned char c : bytes) hex += {digits[c >> 4], digits[c & 0xF]};
  return hex;
}

bool FromHex(const std::string& hex, std::string& out) {
  out.clear();
  if (hex == "-") return true;
  if (hex.empty() || hex.size() % 2 != 0) return false;
  auto nibble = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; };
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int hi = nibble(hex[i]), lo = nibble(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<char>(hi << 4 | lo));
  }
  return true;
}

// Reads a saved tree; false for a file without the header or the end marker
// (so a foreign or cut-off file mounts nothing) or with a line of any other shape.
bool ParseTree(std::istream& in, MemoryRegistry::Tree& tree) {
  std::string line, path, name, data;
  if (!std::getline(in, line) || line != kFileHeader) return false;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string tag, first, second, third, extra;
    fields >> tag >> first >> second >> third >> extra;
    if (line == "END") return !tree.empty() && !std::getline(in, line);
    if (!extra.empty()) return false;
    if (tag == "K" && second.empty() && FromHex(first, path) && tree.empty() == path.empty()) {
      tree.emplace_back(path, std::vector<Value>());
    } else if (tag == "V" && !tree.empty() && !third.empty() && first.size() <= 9 &&
               first.find_first_not_of("0123456789") == std::string::npos &&
               FromHex(second, name) && FromHex(third, data)) {
      MergeValues(tree.back().second, {Value{name, static_cast<std::uint32_t>(std::stoul(first)),
                                             std::vector<unsigned char>(data.begin(), data.end())}});
    } else {
      return false;
    }
  }
  return false;
}

// The current time as a FILETIME: 100 ns ticks from 1601 (the system clock counts from 1970).
RegFileTime Now() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return 116444736000000000ull + static_cast<RegFileTime>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100);
}

}  // namespace

MemoryRegistry::MemoryRegistry() {
  for (RegKey root : {kCurrentUser, kLocalMachine, kUsers}) {
    keys_[RootPath(root)] = Key{RootPath(root), {}, Now(), false, false, nextId_++};
  }
}

MemoryRegistry::Found MemoryRegistry::Resolve(RegKey key, std::uint32_t needed) {
  Found at{kOk, RootPath(key)};
  std::uint64_t id = 0;
  if (at.path.empty()) {
    auto handle = handles_.find(key);
    if (handle == handles_.end()) return {kErrorInvalidHandle};
    at.path = handle->second.path;
    at.access = handle->second.access;
    id = handle->second.id;
  }
  auto it = keys_.find(at.path);
  if (it == keys_.end() || (id != 0 && it->second.id != id)) return {kErrorKeyDeleted};
  if ((needed & ~at.access) != 0) return {kErrorAccessDenied};
  at.key = &it->second;
  return at;
}

MemoryRegistry::Key& MemoryRegistry::Add(const std::string& parentPath, const std::string& name) {
  keys_[parentPath].lastWrite = Now();
  return keys_[parentPath + '\0' + Fold(name)] = Key{name, {}, Now(), false, false, nextId_++};
}

MemoryRegistry::Found MemoryRegistry::Walk(RegKey parent, const std::string& path, bool create) {
  Found at = Resolve(parent, 0);
  std::vector<std::string> parts;
  if (at.result == kOk) at.result = SplitPath(path, parts);
  for (std::size_t i = 0; at.result == kOk && i < parts.size(); ++i) {
    const std::string next = at.path + '\0' + Fold(parts[i]);
    // Creating a subkey is a write to its parent.
    if (keys_.count(next) == 0 && (!create || keys_[at.path].readOnly)) {
      return {create ? kErrorAccessDenied : kErrorFileNotFound};
    }
    if (keys_.count(next) == 0) Add(at.path, parts[i]);
    at.path = next;
  }
  at.key = at.result == kOk ? &keys_[at.path] : nullptr;
  return at;
}

std::vector<std::string> MemoryRegistry::Below(const std::string& path, bool directOnly) const {
  const std::string prefix = path + '\0';
  std::vector<std::string> paths;
  for (auto it = keys_.lower_bound(prefix);
       it != keys_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    if (!directOnly || it->first.find('\0', prefix.size()) == std::string::npos) {
      paths.push_back(it->first);
    }
  }
  return paths;
}

MemoryRegistry::Tree MemoryRegistry::Snapshot(const std::string& path) const {
  Tree tree{{"", keys_.at(path).values}};
  std::map<std::string, std::string> spelled{{path, ""}};  // parents come first
  for (const std::string& below : Below(path, false)) {
    const Key& key = keys_.at(below);
    const std::string& parent = spelled[below.substr(0, below.rfind('\0'))];
    tree.emplace_back(spelled[below] = parent.empty() ? key.name : parent + "\\" + key.name,
                      key.values);
  }
  return tree;
}

void MemoryRegistry::Erase(const std::string& path) {
  for (const std::string& below : Below(path, false)) keys_.erase(below);
  keys_.erase(path);
  keys_[path.substr(0, path.rfind('\0'))].lastWrite = Now();
}

long MemoryRegistry::CreateKey(RegKey parent, const std::string& path, std::uint32_t access,
                               RegKey& out) {
  const Found at = Walk(parent, path, true);
  return at.result != kOk ? at.result : OpenKey(parent, path, access, out);
}

long MemoryRegistry::OpenKey(RegKey parent, const std::string& path, std::uint32_t access,
                             RegKey& out) {
  const Found at = Walk(parent, path, false);
  access = MapGenericRights(access);
  if (at.result != kOk) return at.result;
  if (at.key->readOnly && (access & kWriteRights) != 0) return kErrorAccessDenied;
  out = nextHandle_;
  nextHandle_ += 4;  // never reused, so a stale handle stays invalid
  handles_[out] = Handle{at.path, at.key->id, access};
  return kOk;
}

long MemoryRegistry::CloseKey(RegKey key) {
  return !RootPath(key).empty() || handles_.erase(key) == 1 ? kOk : kErrorInvalidHandle;
}

long MemoryRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                void* data, std::uint32_t* size) {
  const Found at = Resolve(key, kKeyQueryValue);
  if (at.result != kOk) return at.result;
  if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
  const Value* value = FindValue(at.key->values, name);
  if (value == nullptr) return kErrorFileNotFound;
  if (type != nullptr) *type = value->type;
  if (size == nullptr) return kOk;
  const auto needed = static_cast<std::uint32_t>(value->data.size());
  const bool fits = data == nullptr || *size >= needed;
  if (data != nullptr && fits && needed != 0) std::memcpy(data, value->data.data(), needed);
  *size = needed;
  return fits ? kOk : kErrorMoreData;
}

long MemoryRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                              const void* data, std::uint32_t size) {
  const Found at = Resolve(key, kKeySetValue);
  if (at.result != kOk) return at.result;
  if (data == nullptr && size != 0) return kErrorInvalidParameter;
  const auto* bytes = static_cast<const unsigned char*>(data);
  MergeValues(at.key->values, {Value{name, type, std::vector<unsigned char>(bytes, bytes + size)}});
  at.key->lastWrite = Now();
  return kOk;
}

long MemoryRegistry::DeleteValue(RegKey key, const std::string& name) {
  const Found at = Resolve(key, kKeySetValue);
  if (at.result != kOk) return at.result;
  const Value* value = FindValue(at.key->values, name);
  if (value == nullptr) return kErrorFileNotFound;
  at.key->values.erase(at.key->values.begin() + (value - at.key->values.data()));
  at.key->lastWrite = Now();
  return kOk;
}

long MemoryRegistry::EnumValue(RegKey key, std::uint32_t index, std::string& name,
                               std::uint32_t& type, std::vector<unsigned char>& data) {
  const Found at = Resolve(key, kKeyQueryValue);
  if (at.result != kOk) return at.result;
  if (index >= at.key->values.size()) return kErrorNoMoreItems;
  const Value& value = at.key->values[index];
  std::tie(name, type, data) = std::tie(value.name, value.type, value.data);
  return kOk;
}

long MemoryRegistry::QueryInfoKey(RegKey key, std::uint32_t* subkeys, RegFileTime* lastWrite) {
  const Found at = Resolve(key, kKeyQueryValue);
  if (at.result != kOk) return at.result;
  if (subkeys != nullptr) *subkeys = static_cast<std::uint32_t>(Below(at.path, true).size());
  if (lastWrite != nullptr) *lastWrite = at.key->lastWrite;
  return kOk;
}

long MemoryRegistry::EnumKey(RegKey key, std::uint32_t index, std::string& name,
                             std::uint32_t bufferChars) {
  const Found at = Resolve(key, kKeyEnumerateSubKeys);
  if (at.result != kOk) return at.result;
  const std::vector<std::string> subkeys = Below(at.path, true);
  if (index >= subkeys.size()) return kErrorNoMoreItems;
  const std::string& found = keys_[subkeys[index]].name;
  if (found.size() + 1 > bufferChars) return kErrorMoreData;
  name = found;
  return kOk;
}

long MemoryRegistry::DeleteTree(RegKey parent, const std::string& path) {
  std::vector<std::string> parts;
  if (SplitPath(path, parts) == kOk && parts.empty()) return kErrorInvalidParameter;
  const Found at = Walk(parent, path, false);
  if (at.result != kOk) return at.result;
  // A mounted file is removed by unloading it, never by deleting keys.
  std::vector<std::string> tree = Below(at.path, false);
  tree.push_back(at.path);
  for (const std::string& below : tree) {
    if (keys_[below].mounted) return kErrorAccessDenied;
  }
  Erase(at.path);
  return kOk;
}

// Writes a detached tree below `target`: subkeys first, then the values of
// the key itself, like SHCopyKey. Setting those needs KEY_SET_VALUE on the
// handle the caller holds; the keys below are reached with full rights.
long MemoryRegistry::Apply(const Tree& tree, const std::string& target, std::uint32_t granted) {
  for (std::size_t n = 1; n <= tree.size(); ++n) {
    const auto& [relative, values] = tree[n % tree.size()];
    std::string path = target;
    std::vector<std::string> parts;
    SplitPath(relative, parts);
    for (const std::string& part : parts) {
      const std::string next = path + '\0' + Fold(part);
      if (keys_.count(next) == 0 && keys_[path].readOnly) return kErrorAccessDenied;
      if (keys_.count(next) == 0) Add(path, part);
      if (keys_[path = next].readOnly) return kErrorAccessDenied;
    }
    if (values.empty()) continue;
    if (path == target && !(granted & kKeySetValue)) return kErrorAccessDenied;
    MergeValues(keys_[path].values, values);
    keys_[path].lastWrite = Now();
  }
  return kOk;
}

// The source is read whole before anything is written, so a tree copied
// into itself still ends.
long MemoryRegistry::CopyTree(RegKey source, const std::string& path, RegKey target) {
  const Found to = Resolve(target, 0), from = Walk(source, path, false);
  if (to.result != kOk || from.result != kOk) return to.result != kOk ? to.result : from.result;
  return Apply(Snapshot(from.path), to.path, to.access);
}

long MemoryRegistry::SaveKey(RegKey key, const std::string& file) {
  const Found at = Resolve(key, 0);
  if (at.result != kOk) return at.result;
  std::error_code error;
  if (std::filesystem::exists(file, error)) return kErrorAlreadyExists;
  std::ostringstream text;
  text << kFileHeader << '\n';
  for (const auto& [relative, values] : Snapshot(at.path)) {
    text << "K " << ToHex(relative) << '\n';
    for (const Value& v : values) {
      text << "V " << v.type << ' ' << ToHex(v.name) << ' '
           << ToHex(std::string(v.data.begin(), v.data.end())) << '\n';
    }
  }
  std::ofstream out(file, std::ios::binary);
  if (!out) return kErrorPathNotFound;
  if (!(out << text.str() << "END\n").flush()) {
    out.close();
    std::filesystem::remove(file, error);
    return kErrorRegistryIoFailed;
  }
  return kOk;
}

long MemoryRegistry::LoadKey(RegKey root, const std::string& name, const std::string& file) {
  const std::string mount = RootPath(root) + '\0' + Fold(name);
  if ((root != kUsers && root != kLocalMachine) || name.empty() ||
      name.find('\\') != std::string::npos) {
    return kErrorInvalidParameter;
  }
  if (keys_.count(mount) != 0) return kErrorAlreadyExists;
  std::ifstream in(file, std::ios::binary);
  if (!in) return kErrorFileNotFound;
  Tree tree;
  if (!ParseTree(in, tree)) return kErrorNotRegistryFile;
  Add(RootPath(root), name).mounted = true;
  return Apply(tree, mount, kKeyAllAccess);
}

long MemoryRegistry::UnLoadKey(RegKey root, const std::string& name) {
  if (root != kUsers && root != kLocalMachine) return kErrorInvalidParameter;
  const std::string mount = RootPath(root) + '\0' + Fold(name);
  auto it = keys_.find(mount);
  if (it == keys_.end()) return kErrorFileNotFound;
  if (!it->second.mounted) return kErrorInvalidParameter;
  for (const auto& [key, handle] : handles_) {
    if (handle.path == mount || handle.path.rfind(mount + '\0', 0) == 0) return kErrorAccessDenied;
  }
  Erase(mount);
  return kOk;
}

long MemoryRegistry::SetKeyReadOnly(RegKey parent, const std::string& path, bool readOnly) {
  const Found at = Walk(parent, path, false);
  if (at.result == kOk) at.key->readOnly = readOnly;
  return at.result;
}

}  // namespace platform
