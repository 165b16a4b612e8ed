#pragma once
// The controls of each row of the system tweaks dialog, label and spin
// control included.
#include <vector>

#include "resources/system_tweaks_ids.h"
#include "system/SystemTweaks.h"

namespace Vesperon {

inline const std::vector<int>& ControlsOf(TweakRow row) {
  static const std::vector<int> kControls[kTweakRowCount] = {
      {IDC_TWEAK_CLEAR_PAGE_FILE},
      {IDC_TWEAK_TIMEOUT_LABEL, IDC_TWEAK_TIMEOUT, IDC_TWEAK_TIMEOUT_SPIN},
      {IDC_TWEAK_STATUS_MESSAGES},
      {IDC_TWEAK_STATUS_NORMAL, IDC_TWEAK_STATUS_VERBOSE},
      {IDC_TWEAK_LOGON_SHUTDOWN},
      {IDC_TWEAK_RELEASE_LEASE},
      {IDC_TWEAK_FAST_REBOOT},
  };
  return kControls[row];
}

}  // namespace Vesperon
