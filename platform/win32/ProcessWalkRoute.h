#pragma once
// Which of the system's process functions the walk takes on a Windows
// version; the process probes check it under each version Wine plays.
#include "platform/OsVersion.h"

namespace platform {

enum class ProcessWalkRoute {
  kNone,      // no walk on this system
  kModules,   // NT 4.0: the process status library
  kSnapshot,  // the 9x line and NT 5 on: the tool-help snapshot
};

ProcessWalkRoute SelectProcessWalkRoute(const OsVersionRecord& record);

}  // namespace platform
