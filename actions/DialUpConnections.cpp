#include "actions/DialUpConnections.h"

#include "actions/ProcessList.h"
#include "model/WildcardMatch.h"
#include "platform/DialUpSystem.h"
#include "settings/SettingsRecords.h"
#include "settings/SettingsStore.h"

namespace Vesperon {
namespace {

std::int32_t ExceptionCode(std::uint32_t error) {
  switch (error) {
    case 8: return RasConnectionInfoException::kOutOfMemory;
    case 603: return RasConnectionInfoException::kBufferTooSmall;
    default: return RasConnectionInfoException::kOtherError;
  }
}

std::vector<platform::DialUpConnection> ActiveConnections() {
  std::vector<platform::DialUpConnection> connections;
  const std::uint32_t error = platform::DialUpSystem().ListConnections(connections);
  if (error != 0) throw RasConnectionInfoException(ExceptionCode(error));
  return connections;
}

}  // namespace

void HangUpConnectionsMatching(const std::vector<std::string>& patterns) {
  const std::vector<platform::DialUpConnection> connections = ActiveConnections();
  std::vector<std::string> upperPatterns;
  for (const std::string& pattern : patterns) upperPatterns.push_back(UpperCaseCopy(pattern));
  for (const platform::DialUpConnection& connection : connections) {
    const std::string upperName = UpperCaseCopy(connection.entryName);
    for (const std::string& pattern : upperPatterns) {
      if (WildcardMatch(pattern, upperName)) platform::DialUpSystem().HangUp(connection);
    }
  }
}

void ListDialUpConnections(std::vector<ConnectionInfo>& list) {
  list.clear();
  for (const platform::DialUpConnection& connection : ActiveConnections()) {
    list.push_back({connection.entryName, connection.deviceType, connection.deviceName});
  }
}

void HangUpMatchingConnections() {
  const std::string section =
      "Profiles\\" + DataSystem::GetActiveProfileName("Profiles", DataSystem::kHiveCurrentUser);
  HangUpConnectionsMatching(SplitPatternList(DataSystem::ReadText(DataSystem::kToDiscon, section)));
}

}  // namespace Vesperon
