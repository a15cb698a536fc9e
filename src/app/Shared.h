#pragma once
// A value that the worker threads write and the window reads (or the other
// way round). Every access copies under a lock, so nobody ever sees half a
// text; the posted refresh message then tells the window to show it.
#include <mutex>
#include <utility>

template <class T>
class Shared {
 public:
  Shared() = default;
  explicit Shared(T value) : m_value(std::move(value)) {}
  Shared(const Shared&) = delete;
  Shared& operator=(const Shared&) = delete;

  T Get() const {
    std::lock_guard lock(m_mutex);
    return m_value;
  }
  // Compares without a copy (a status text checked for every block).
  bool Equals(const T& value) const {
    std::lock_guard lock(m_mutex);
    return m_value == value;
  }
  void Set(T value) {
    std::lock_guard lock(m_mutex);
    m_value = std::move(value);
  }

 private:
  mutable std::mutex m_mutex;
  T m_value{};
};
