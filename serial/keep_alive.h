#pragma once
// The transmit keep-alive: each call queues two zero bytes on TxD.
// It neither looks at nor waits for the transmit queue; a full queue is not
// an error. A text::Error from Output propagates.

#include "serial_line.h"

namespace serial {

void sendKeepAlive(SerialLine& line);

} // namespace serial
