#pragma once

namespace testing_win32 {

// Throws unless every route of the machine stays on loopback: a test that starts a server or
// the program runs only inside scripts/with-private-network.sh, where nothing it opens can
// leave the machine.
void RequirePrivateNetwork();

}  // namespace testing_win32
