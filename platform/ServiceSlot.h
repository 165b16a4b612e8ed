#pragma once
// How the program reaches a platform service: the build's default unless a
// stand-in has been installed (by a test, or by the program at start-up).
// Installing hands back what was there before and the guard puts exactly that
// back, so nested guards (a test's fake inside a fixture's) never fall back
// to the default, and so to the real system, by accident.
#include <utility>

namespace platform {

template <typename Interface, Interface& (*Default)()>
class ServiceSlot {
 public:
  static Interface& Get() { return installed_ ? *installed_ : Default(); }
  // The caller keeps `service` alive while it is installed; nullptr goes
  // back to the default. Returns the one installed before (nullptr: none).
  static Interface* Install(Interface* service) { return std::exchange(installed_, service); }

  class Scoped {
   public:
    explicit Scoped(Interface& service) : previous_(Install(&service)) {}
    ~Scoped() { Install(previous_); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

   private:
    Interface* previous_;
  };

 private:
  static inline Interface* installed_ = nullptr;
};

}  // namespace platform
