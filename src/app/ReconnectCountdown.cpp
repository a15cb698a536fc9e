#include "app/ReconnectCountdown.h"

#include <algorithm>

std::wstring ReconnectCountdownText(int secondsLeft, int attemptsLeft, int attempts) {
  const int attempt = std::max(1, attempts - attemptsLeft);
  return L"Reconnecting in " + std::to_wstring(std::max(secondsLeft, 0)) + L" s (attempt " +
         std::to_wstring(attempt) + L" of " + std::to_wstring(std::max(attempt, attempts)) + L")";
}
