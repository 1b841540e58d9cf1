#include "server/server_address.h"

#include <algorithm>
#include <stdexcept>

#include "base/numbers.h"
#include "base/text.h"
#include "platform/environment.h"

namespace tarn {
namespace {

// Letters and digits of ASCII only, whatever the locale says about other bytes.
bool IsAsciiAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

struct HostParts {
  std::string_view host;
  std::string_view port;  // empty when none
};

HostParts SplitHostPort(std::string_view hostAndPort) {
  if (hostAndPort.starts_with('[')) {  // [IPv6]:port
    const size_t close = hostAndPort.find(']');
    if (close == std::string_view::npos) return {hostAndPort, {}};
    std::string_view rest = hostAndPort.substr(close + 1);
    return {hostAndPort.substr(0, close + 1), rest.starts_with(':') ? rest.substr(1) : rest};
  }
  const size_t colon = hostAndPort.rfind(':');
  if (colon == std::string_view::npos) return {hostAndPort, {}};
  return {hostAndPort.substr(0, colon), hostAndPort.substr(colon + 1)};
}

bool IsIpv4(std::string_view host) {
  int parts = 0;
  size_t start = 0;
  while (start <= host.size()) {
    size_t dot = host.find('.', start);
    if (dot == std::string_view::npos) dot = host.size();
    const std::string_view part = host.substr(start, dot - start);
    if (part.empty() || part.size() > 3 ||
        !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        *ParseWholeNumber(part) > 255) {
      return false;
    }
    ++parts;
    start = dot + 1;
  }
  return parts == 4;
}

bool IsDnsName(std::string_view host) {
  if (host.empty() || host.size() > 253 || host.front() == '.' || host.front() == '-' ||
      host.back() == '.' || host.back() == '-') {
    return false;
  }
  return std::all_of(host.begin(), host.end(),
                     [](char c) { return IsAsciiAlnum(c) || c == '-' || c == '.'; }) &&
         host.find("..") == std::string_view::npos;
}

}  // namespace

std::string DefaultServerHost() { return "tarn.example.com"; }

void ValidateServerHost(std::string_view hostAndPort) {
  const HostParts parts = SplitHostPort(hostAndPort);
  const bool ipv6 = parts.host.size() > 2 && parts.host.starts_with('[') &&
                    parts.host.ends_with(']') &&
                    std::all_of(parts.host.begin() + 1, parts.host.end() - 1, [](char c) {
                      return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
                    });
  bool portOk = true;
  if (hostAndPort.find(':') != std::string_view::npos &&
      !(ipv6 && parts.port.empty() && hostAndPort.ends_with(']'))) {
    portOk = !parts.port.empty() && parts.port.size() <= 5 &&
             std::all_of(parts.port.begin(), parts.port.end(),
                         [](char c) { return c >= '0' && c <= '9'; }) &&
             *ParseWholeNumber(parts.port) >= 1 && *ParseWholeNumber(parts.port) <= 65535;
  }
  if (!(ipv6 || IsDnsName(parts.host)) || !portOk) {
    throw std::invalid_argument("Invalid server address '" + std::string(hostAndPort) +
                                "': expected HOST or HOST:PORT");
  }
}

std::string ResolveServerHost(const std::optional<std::string>& option, const Environment& env) {
  std::string host = option ? *option : env.Get("TARN_SERVER").value_or("");
  if (host.empty()) host = DefaultServerHost();
  ValidateServerHost(host);
  return host;
}

std::string EncodeQueryValue(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    if (IsAsciiAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

std::string WithWwwPrefix(std::string_view hostAndPort) {
  const std::string_view host = SplitHostPort(hostAndPort).host;
  const bool dnsName = IsDnsName(host) && !IsIpv4(host) && host.find('.') != std::string_view::npos;
  if (!dnsName || EqualsIgnoringCase(host.substr(0, 4), "www.")) return std::string(hostAndPort);
  return "www." + std::string(hostAndPort);
}

std::string ServerDateText(DateTime date) {
  const DateTime::Fields f = date.ToFields();
  if (f.hour == 0 && f.minute == 0 && f.second == 0) return date.Format("yyyy-MM-dd");
  return date.Format("yyyy-MM-dd HH:mm:ss");
}

}  // namespace tarn
