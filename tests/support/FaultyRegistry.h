#pragma once
// A registry that hands every call on to another one, except the operations
// a test makes fail: these answer the code set for them without touching
// anything. A close still closes the key before it reports its failure.
#include <functional>
#include <utility>

#include "platform/Registry.h"

namespace testsupport {

class FaultyRegistry final : public platform::IRegistry {
 public:
  using K = platform::RegKey;
  using S = const std::string&;
  using U = std::uint32_t;
  explicit FaultyRegistry(platform::IRegistry& inner) : real(inner) {}

  platform::IRegistry& real;
  // The code each operation fails with; 0 hands the call on.
  long failClose = 0, failInfo = 0, failEnum = 0, failSave = 0, failUnLoad = 0;
  std::function<void(K)> beforeRead;  // runs once, before the next QueryValue with a buffer

  long CreateKey(K p, S path, U a, K& o) override { return real.CreateKey(p, path, a, o); }
  long OpenKey(K p, S path, U a, K& o) override { return real.OpenKey(p, path, a, o); }
  long CloseKey(K k) override {
    const long result = real.CloseKey(k);
    return failClose ? failClose : result;
  }
  long QueryValue(K k, S n, U* t, void* d, U* s) override {
    if (d != nullptr && beforeRead) std::exchange(beforeRead, nullptr)(k);
    return real.QueryValue(k, n, t, d, s);
  }
  long SetValue(K k, S n, U t, const void* d, U s) override { return real.SetValue(k, n, t, d, s); }
  long DeleteValue(K k, S n) override { return real.DeleteValue(k, n); }
  long EnumValue(K k, U i, std::string& n, U& t, std::vector<unsigned char>& d) override {
    return real.EnumValue(k, i, n, t, d);
  }
  long QueryInfoKey(K k, U* c, platform::RegFileTime* w) override {
    return failInfo ? failInfo : real.QueryInfoKey(k, c, w);
  }
  long EnumKey(K k, U i, std::string& n, U b) override { return failEnum ? failEnum : real.EnumKey(k, i, n, b); }
  long DeleteTree(K p, S path) override { return real.DeleteTree(p, path); }
  long CopyTree(K s, S path, K t) override { return real.CopyTree(s, path, t); }
  long SaveKey(K k, S f) override { return failSave ? failSave : real.SaveKey(k, f); }
  long LoadKey(K r, S n, S f) override { return real.LoadKey(r, n, f); }
  long UnLoadKey(K r, S n) override { return failUnLoad ? failUnLoad : real.UnLoadKey(r, n); }
  long SetKeyReadOnly(K p, S path, bool r) override { return real.SetKeyReadOnly(p, path, r); }
};

}  // namespace testsupport
