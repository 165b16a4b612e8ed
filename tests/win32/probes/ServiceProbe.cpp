// Started by the service manager as the service "Vesperon", this goes
// through the program's own start-up hand-over: it asks the dispatcher to
// run the service entry point, answers the controls with the program's
// handler, and when the dispatcher returns writes the last reported state
// into "service_probe.log" beside itself, so that the test that started it
// sees the whole round. Started by hand, the dispatcher returns at once.
#include <cstdio>
#include <string>

#include "model/Exception.h"
#include "model/ModulePath.h"
#include "system/Service.h"

int main() {
  std::string outcome;
  try {
    Vesperon::HandOverToServiceDispatcher();
    outcome = "returned, prepared " + std::to_string(Vesperon::ServiceModePrepared) +
              ", state " + std::to_string(Vesperon::ServiceStatusRecord.currentState);
  } catch (const Vesperon::Exception& failure) {
    outcome = "failed, category " + std::to_string(failure.category) + ", code " +
              std::to_string(failure.code);
  }
  const std::string log = Vesperon::GetModuleDirectory() + "\\service_probe.log";
  if (std::FILE* file = std::fopen(log.c_str(), "w")) {
    std::fprintf(file, "%s\n", outcome.c_str());
    std::fclose(file);
  }
  return 0;
}
