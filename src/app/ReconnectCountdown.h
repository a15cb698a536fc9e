#pragma once
// The status text while a lost stream waits for its next attempt, so that
// "waiting to retry" never looks like "stopped".
#include <string>

// "Reconnecting in 37 s (attempt 3 of 10)". `attemptsLeft` is the counter
// after it was taken down for the coming attempt; `attempts` the configured
// number. With no attempts configured, a lost stream still gets one.
std::wstring ReconnectCountdownText(int secondsLeft, int attemptsLeft, int attempts);
