// Windows sockets, the ICMP echo and the IP helper's ARP table. The IP
// helper is not a library the system protects from a planted copy, so it is
// not imported: its functions are bound from the system folder at first use.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <algorithm>
#include <climits>

#include "platform/NetworkSystem.h"
#include "platform/win32/SystemLibrary.h"

namespace platform {
namespace {

constexpr WORD kEchoDataBytes = 64;
// GetIpNetTable may grow between the call that sizes the buffer and the one
// that fills it; a few rounds settle any real table.
constexpr int kArpReadAttempts = 4;

// The IP helper's functions; the echo functions lived in icmp.dll before
// the IP helper took them over.
struct IpHelper {
  using IcmpCreateFileFn = HANDLE(WINAPI*)();
  using IcmpSendEchoFn = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID,
                                       DWORD, DWORD);
  using IcmpCloseHandleFn = BOOL(WINAPI*)(HANDLE);
  using GetIpNetTableFn = DWORD(WINAPI*)(PMIB_IPNETTABLE, PULONG, BOOL);

  IcmpCreateFileFn icmpCreateFile = nullptr;
  IcmpSendEchoFn icmpSendEcho = nullptr;
  IcmpCloseHandleFn icmpCloseHandle = nullptr;
  GetIpNetTableFn getIpNetTable = nullptr;

  IpHelper() {
    const HMODULE iphlpapi = LoadSystemLibrary("iphlpapi.dll");
    Bind(iphlpapi, "GetIpNetTable", getIpNetTable);
    if (!BindEcho(iphlpapi)) BindEcho(LoadSystemLibrary("icmp.dll"));
  }
  bool HasEcho() const {
    return icmpCreateFile != nullptr && icmpSendEcho != nullptr && icmpCloseHandle != nullptr;
  }

 private:
  template <typename Function>
  static void Bind(HMODULE module, const char* name, Function& out) {
    if (module == nullptr) return;
    out = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
  bool BindEcho(HMODULE module) {
    Bind(module, "IcmpCreateFile", icmpCreateFile);
    Bind(module, "IcmpSendEcho", icmpSendEcho);
    Bind(module, "IcmpCloseHandle", icmpCloseHandle);
    return HasEcho();
  }
};

const IpHelper& IpHelperFunctions() {
  static const IpHelper functions;
  return functions;
}

class Win32NetworkSystem final : public INetworkSystem {
 public:
  // The socket holds its own reference on Windows Sockets, so a send works
  // whether or not the program initialised them at start-up; the reference
  // is dropped with the socket.
  SendResult SendDatagram(std::uint32_t address, std::uint16_t port,
                          std::span<const std::uint8_t> data) override {
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return SendResult::kNoSocket;
    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) {
      WSACleanup();
      return SendResult::kNoSocket;
    }
    SendResult result = SendResult::kSent;
    const int on = 1;
    if (setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) != 0) {
      result = SendResult::kBroadcastRefused;
    } else if (data.size() > INT_MAX) {
      result = SendResult::kNotAllSent;
    } else {
      sockaddr_in to{};
      to.sin_family = AF_INET;
      to.sin_port = htons(port);
      to.sin_addr.s_addr = htonl(address);
      const int sent = sendto(s, reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()),
                              0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
      if (sent != static_cast<int>(data.size())) result = SendResult::kNotAllSent;
    }
    closesocket(s);
    WSACleanup();
    return result;
  }

  bool SendEcho(std::uint32_t address, std::uint32_t timeoutMs) override {
    const IpHelper& ip = IpHelperFunctions();
    if (!ip.HasEcho()) return false;
    const HANDLE icmp = ip.icmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE) return false;
    unsigned char request[kEchoDataBytes] = {};
    // Room for one reply with the echoed data and an ICMP error message, as
    // IcmpSendEcho asks; a smaller buffer fails before anything is sent.
    unsigned char reply[sizeof(ICMP_ECHO_REPLY) + kEchoDataBytes + 8];
    ip.icmpSendEcho(icmp, htonl(address), request, kEchoDataBytes, nullptr, reply, sizeof reply,
                    timeoutMs);
    ip.icmpCloseHandle(icmp);
    return true;
  }

  bool ReadArpTable(std::vector<ArpEntry>& entries) override {
    entries.clear();
    const IpHelper::GetIpNetTableFn getIpNetTable = IpHelperFunctions().getIpNetTable;
    if (getIpNetTable == nullptr) return false;
    // DWORD elements keep the table's DWORD fields aligned.
    std::vector<DWORD> buffer(1);
    for (int attempt = 0; attempt < kArpReadAttempts; ++attempt) {
      ULONG size = static_cast<ULONG>(buffer.size() * sizeof(DWORD));
      auto* table = reinterpret_cast<MIB_IPNETTABLE*>(buffer.data());
      const DWORD result = getIpNetTable(table, &size, FALSE);
      if (result == ERROR_NO_DATA) return true;
      if (result == ERROR_INSUFFICIENT_BUFFER) {
        buffer.assign(size / sizeof(DWORD) + 1, 0);
        continue;
      }
      if (result != NO_ERROR) return false;
      for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_IPNETROW& row = table->table[i];
        const DWORD length = std::min<DWORD>(row.dwPhysAddrLen, MAXLEN_PHYSADDR);
        ArpEntry entry;
        entry.address = ntohl(row.dwAddr);
        entry.physical.assign(row.bPhysAddr, row.bPhysAddr + length);
        entry.type = row.dwType;
        entries.push_back(std::move(entry));
      }
      return true;
    }
    return false;
  }
};

}  // namespace

INetworkSystem& DefaultNetwork() {
  static Win32NetworkSystem network;
  return network;
}
}  // namespace platform
