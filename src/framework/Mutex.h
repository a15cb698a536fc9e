#pragma once
// CMutex and CSingleLock: the lock that the caster connection and the serial
// port each carry, taken by their users around whole steps. A plain
// non-recursive mutex; CSingleLock releases on scope exit.
#include <mutex>

class CMutex {
 public:
  CMutex() = default;
  CMutex(const CMutex&) = delete;
  CMutex& operator=(const CMutex&) = delete;

  void Lock() { m_mutex.lock(); }
  void Unlock() { m_mutex.unlock(); }
  // For std::lock_guard and friends.
  void lock() { m_mutex.lock(); }
  void unlock() { m_mutex.unlock(); }
  bool try_lock() { return m_mutex.try_lock(); }

 private:
  std::mutex m_mutex;
};

class CSingleLock {
 public:
  explicit CSingleLock(CMutex* mutex, bool initialLock = false) : m_pMutex(mutex) {
    if (initialLock) Lock();
  }
  ~CSingleLock() { Unlock(); }
  CSingleLock(const CSingleLock&) = delete;
  CSingleLock& operator=(const CSingleLock&) = delete;

  void Lock() {
    if (!m_bLocked) {
      m_pMutex->Lock();
      m_bLocked = true;
    }
  }
  void Unlock() {
    if (m_bLocked) {
      m_pMutex->Unlock();
      m_bLocked = false;
    }
  }
  bool IsLocked() const { return m_bLocked; }

 private:
  CMutex* m_pMutex;
  bool m_bLocked = false;
};
