#pragma once
// What a call throws, for the failure paths.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "settings/StoreExceptions.h"

namespace testing_support {

// The E a call throws; nothing when it throws none.
template <typename E, typename Fn>
std::optional<E> ThrownBy(Fn call) {
  try {
    call();
  } catch (const E& e) {
    return e;
  }
  return std::nullopt;
}

// The code of the E a call throws, -1 when it throws none; of `category`
// unless that is -1.
template <typename E, typename Fn>
std::int32_t CodeOf(Fn call, std::int32_t category = -1) {
  const std::optional<E> e = ThrownBy<E>(call);
  if (e && category != -1) {
    EXPECT_EQ(e->category, category);
  }
  return e ? e->code : -1;
}

// What a call threw, as one comparable text: "ok", the class and its code
// for the store's own failures ("Registry 7", "DataSystem 1", "System 2";
// each of these classes has one category), "Exception 5/0" (code/category)
// for any other.
inline std::string Outcome(const std::function<void()>& call) {
  try {
    call();
    return "ok";
  } catch (const DataSystem::RegistryException& e) {
    return "Registry " + std::to_string(e.code);
  } catch (const DataSystem::DataSystemException& e) {
    return "DataSystem " + std::to_string(e.code);
  } catch (const Vesperon::SystemException& e) {
    return "System " + std::to_string(e.code);
  } catch (const Vesperon::Exception& e) {
    return "Exception " + std::to_string(e.code) + "/" + std::to_string(e.category);
  }
}

}  // namespace testing_support
