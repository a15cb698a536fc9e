#pragma once
// Receiving the caster's first reply block. A caster may send its status line
// a few bytes at a time; the block is classified only once its first line has
// ended, the buffer is full, the caster closed, or the reply wait is over.
#include "net/TCPSocket.h"

// Receives into the socket's buffer. False when nothing at all arrived: then
// m_len is 0 if the caster closed, and the buffer is untouched (it still holds
// the request) if the wait ran out.
[[nodiscard]] bool ReceiveReplyHead(TCPSocket& socket, int waitSeconds = TCPSocket::kReceiveWaitSeconds);
