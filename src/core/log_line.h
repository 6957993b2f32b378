// The text of one log line.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

// "[%Y-%m-%d %H:%M:%S %z] [LEVEL] [Tavix] message" in local time, without a
// line end. Messages that already carry the client library's "[norvane]" tag
// get no second tag. Control characters in the message are written out
// ("\r", "\n", "\t", "\xHH"), so that no text can break or forge a line.
std::string formatLogLine(std::string_view levelName, std::string_view message, std::time_t when);
