// Linked only into a test build: SIGUSR2 (the web engine takes SIGUSR1) blocks the main loop
// for a while, as a call that does not return would, so that a test sees what a stuck loop
// stops.
#include <glib-unix.h>

#include <csignal>

namespace {

gboolean Block(gpointer) {
  g_usleep(G_USEC_PER_SEC * FREEZE_SECONDS);
  return G_SOURCE_CONTINUE;
}

[[maybe_unused]] const guint freezeHook = g_unix_signal_add(SIGUSR2, Block, nullptr);

}  // namespace
