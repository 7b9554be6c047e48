#pragma once

#include <glib-object.h>

#include <memory>
#include <utility>

namespace fw::gtk {

// One strong reference to a GObject. Adopting a floating reference sinks it, so the owner
// keeps the object alive whatever container it is put into or taken out of.
template <class T>
class ObjectRef {
 public:
  ObjectRef() = default;
  explicit ObjectRef(T* object) : object_(object) {
    if (object_ && g_object_is_floating(object_)) g_object_ref_sink(object_);
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
  T* object_ = nullptr;
};

struct GFreeDeleter {
  void operator()(void* p) const { g_free(p); }
};
using UniqueGChar = std::unique_ptr<char, GFreeDeleter>;

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
