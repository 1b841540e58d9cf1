#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/date_time.h"

namespace tarn {

class Environment;

// The game server's host, with an optional port ("host" or "host:port").
std::string DefaultServerHost();

// --server HOST[:PORT] wins over the environment variable TARN_SERVER, which wins over the
// built-in host. Throws std::invalid_argument for a value that is not a host with an optional port.
std::string ResolveServerHost(const std::optional<std::string>& option, const Environment& env);

// Throws std::invalid_argument naming the value when it is not HOST or HOST:PORT.
void ValidateServerHost(std::string_view hostAndPort);

// Percent-encodes a query value; ASCII letters, digits and - . _ ~ stay as they are.
std::string EncodeQueryValue(std::string_view value);

// The host for the two date-limited requests: "www." in front of a DNS name that has no "www."
// yet; IP addresses, localhost and single-label names stay as they are.
std::string WithWwwPrefix(std::string_view hostAndPort);

// A from-date as the server expects it: "yyyy-MM-dd", plus " HH:mm:ss" when the time of day is
// not midnight (milliseconds ignored).
std::string ServerDateText(DateTime date);

}  // namespace tarn
