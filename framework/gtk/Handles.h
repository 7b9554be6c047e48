#pragma once

#include <glib-object.h>

#include <memory>
#include <utility>

namespace fw::gtk {

// One strong reference to a GObject.
template <class T>
class ObjectRef {
 public:
  ObjectRef() = default;
  // Takes over the reference a constructor or a "new"/"create" function handed over. A
  // floating one is sunk, so the owner keeps the object alive whatever container it is put
  // into or taken out of.
  static ObjectRef Adopt(T* object) {
    if (object && g_object_is_floating(object)) g_object_ref_sink(object);
    return ObjectRef(object);
  }
  // Takes a reference of its own to an object someone else owns.
  static ObjectRef Retain(T* object) {
    if (object) g_object_ref(object);
    return ObjectRef(object);
  }
  ~ObjectRef() { reset(); }
  ObjectRef(ObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ObjectRef& operator=(ObjectRef&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ObjectRef(const ObjectRef&) = delete;
  ObjectRef& operator=(const ObjectRef&) = delete;

  T* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void reset() {
    if (object_) g_object_unref(std::exchange(object_, nullptr));
  }

 private:
  explicit ObjectRef(T* object) : object_(object) {}
  T* object_ = nullptr;
};

// A signal handler connected to an object, disconnected when the owner goes. The object
// must outlive the connection.
class SignalConnection {
 public:
  SignalConnection() = default;
  SignalConnection(gpointer instance, gulong id) : instance_(instance), id_(id) {}
  ~SignalConnection() { Reset(); }
  SignalConnection(SignalConnection&& other) noexcept
      : instance_(std::exchange(other.instance_, nullptr)), id_(std::exchange(other.id_, 0)) {}
  SignalConnection& operator=(SignalConnection&& other) noexcept {
    if (this != &other) {
      Reset();
      instance_ = std::exchange(other.instance_, nullptr);
      id_ = std::exchange(other.id_, 0);
    }
    return *this;
  }
  SignalConnection(const SignalConnection&) = delete;
  SignalConnection& operator=(const SignalConnection&) = delete;

  void Reset() {
    if (id_) g_signal_handler_disconnect(instance_, std::exchange(id_, 0));
    instance_ = nullptr;
  }

 private:
  gpointer instance_ = nullptr;
  gulong id_ = 0;
};

// Connects `callback` to `signal` of `instance`, with `data` as its last argument.
template <class Callback>
[[nodiscard]] SignalConnection Connect(gpointer instance, const char* signal, Callback callback,
                                       gpointer data) {
  return SignalConnection(instance, g_signal_connect(instance, signal, G_CALLBACK(callback), data));
}

struct GFreeDeleter {
  void operator()(void* p) const { g_free(p); }
};
using UniqueGChar = std::unique_ptr<char, GFreeDeleter>;

// A list the toolkit handed over; its elements stay the toolkit's.
struct GListDeleter {
  void operator()(GList* list) const { g_list_free(list); }
};
using UniqueGList = std::unique_ptr<GList, GListDeleter>;

struct GErrorDeleter {
  void operator()(GError* e) const { g_error_free(e); }
};
using UniqueGError = std::unique_ptr<GError, GErrorDeleter>;

struct MainLoopDeleter {
  void operator()(GMainLoop* loop) const { g_main_loop_unref(loop); }
};
using UniqueMainLoop = std::unique_ptr<GMainLoop, MainLoopDeleter>;

// A main-loop source (a signal watch, a timeout) removed when the owner goes.
class SourceId {
 public:
  SourceId() = default;
  explicit SourceId(guint id) : id_(id) {}
  ~SourceId() {
    if (id_) g_source_remove(id_);
  }
  SourceId(const SourceId&) = delete;
  SourceId& operator=(const SourceId&) = delete;

  explicit operator bool() const { return id_ != 0; }
  void Reset(guint id = 0) {
    if (id_) g_source_remove(id_);
    id_ = id;
  }
  // The source removed itself (its callback returned G_SOURCE_REMOVE).
  void Forget() { id_ = 0; }

 private:
  guint id_ = 0;
};

}  // namespace fw::gtk
