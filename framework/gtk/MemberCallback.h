#pragma once

#include <glib-object.h>

#include <type_traits>

#include "framework/core/CallbackBoundary.h"
#include "framework/gtk/Handles.h"

namespace fw::gtk {

template <auto Method, auto Failed = 0>
struct MemberCallback;

// A member function as the C callback the toolkit calls with the owner as its last argument
// (a signal handler, a source, an async ready callback): the cast and the callback boundary
// written once. An exception makes the call return `Failed`.
template <class Owner, class R, class... Args, R (Owner::*Method)(Args...), auto Failed>
struct MemberCallback<Method, Failed> {
  static R Call(Args... args, gpointer owner) noexcept {
    auto& self = *static_cast<Owner*>(owner);
    if constexpr (std::is_void_v<R>) {
      fw::AtCallbackBoundary([&] { (self.*Method)(args...); });
    } else {
      return fw::AtCallbackBoundary<R>(static_cast<R>(Failed),
                                       [&] { return (self.*Method)(args...); });
    }
  }
};

// Connects `Method` of `owner` to `signal` of `instance`; `owner` must outlive the connection.
template <auto Method, auto Failed = 0, class Owner>
[[nodiscard]] SignalConnection ConnectMember(gpointer instance, const char* signal, Owner* owner) {
  return Connect(instance, signal, &MemberCallback<Method, Failed>::Call, owner);
}

// The same, run after the signal's default handler.
template <auto Method, auto Failed = 0, class Owner>
[[nodiscard]] SignalConnection ConnectMemberAfter(gpointer instance, const char* signal,
                                                  Owner* owner) {
  return SignalConnection(
      instance, g_signal_connect_after(instance, signal,
                                       G_CALLBACK((&MemberCallback<Method, Failed>::Call)), owner));
}

}  // namespace fw::gtk
