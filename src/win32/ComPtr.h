#pragma once
// An owning pointer to a COM object: one reference, released when it goes.
#include <utility>

namespace velmora::win32 {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already holds (a new object's first).
  static ComPtr adopt(T* object) {
    ComPtr owner;
    owner.object_ = object;
    return owner;
  }
  ComPtr(const ComPtr& other) : object_(other.object_) {
    if (object_) object_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ComPtr() {
    if (object_) object_->Release();
  }

  T* get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // Where a call that hands out a reference writes it; any held one goes first.
  T** put() {
    *this = ComPtr();
    return &object_;
  }
  // Hands the reference to the caller.
  T* detach() { return std::exchange(object_, nullptr); }

 private:
  T* object_ = nullptr;
};

}  // namespace velmora::win32
