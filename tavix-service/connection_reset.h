// Resets the TCP connection a request came on, as a failing network would.
#pragma once

#include <string>

namespace tavixservice {

// Sends a reset (RST, not an orderly close) on the connection from
// remoteAddress:remotePort to this service's localPort. The descriptor stays
// the server's, which then finds the connection broken. False when no such
// connection is open.
bool resetConnection(const std::string& remoteAddress, int remotePort, int localPort);

}  // namespace tavixservice
