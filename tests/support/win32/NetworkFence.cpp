#include "tests/support/win32/NetworkFence.h"

#include <winsock2.h>
#include <ws2ipdef.h>

// The route table's types need the address types above.
#include <iphlpapi.h>
#include <netioapi.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace testing_win32 {

namespace {
struct FreeTable {
  void operator()(MIB_IPFORWARD_TABLE2* table) const { FreeMibTable(table); }
};
}  // namespace

void RequirePrivateNetwork() {
  MIB_IPFORWARD_TABLE2* raw = nullptr;
  if (const DWORD result = GetIpForwardTable2(AF_UNSPEC, &raw); result != NO_ERROR)
    throw std::runtime_error("cannot read the route table (error " + std::to_string(result) + ")");
  const std::unique_ptr<MIB_IPFORWARD_TABLE2, FreeTable> table(raw);
  std::string off;
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IPFORWARD_ROW2& row = table->Table[i];
    if (row.InterfaceLuid.Info.IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
    off += " interface " + std::to_string(row.InterfaceIndex);
  }
  if (!off.empty()) {
    throw std::runtime_error(
        "refusing to run with a route off the machine (run the test under "
        "scripts/with-private-network.sh):" +
        off);
  }
}

}  // namespace testing_win32
