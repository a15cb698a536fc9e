#include "app/RefreshPacer.h"

#include <algorithm>

bool RefreshPacer::Changed(std::int64_t nowMs) {
  if (nowMs - m_nLastToldMs >= m_nIntervalMs) return true;
  m_bHeld = true;
  return false;
}

std::int64_t RefreshPacer::HeldFor(std::int64_t nowMs) const {
  if (!m_bHeld) return -1;
  return std::max<std::int64_t>(m_nLastToldMs + m_nIntervalMs - nowMs, 0);
}

void RefreshPacer::Told(std::int64_t nowMs) {
  m_nLastToldMs = nowMs;
  m_bHeld = false;
}
