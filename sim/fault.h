#pragma once

#include <chrono>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarn::sim {

// Request keys, used for faults and request counts: a path, or the XML interface's path with
// "?mode=" and one mode.
inline constexpr const char* kXmlPath = "/tarn/prokladko/xml_server_v2.php";
inline constexpr const char* kReplayPreparationPath = "/tarn/get_replay.php";
inline constexpr const char* kReplayFilesPath = "/tarn/gamereplays/";
inline constexpr const char* kHomePath = "/";
std::string XmlModeKey(const std::string& mode);

// A way to misbehave on the requests of one key.
struct Fault {
  enum class Body {
    Intact,
    Malformed,         // the answer's text with a stray end tag: no longer well-formed XML
    Truncated,         // the length of the whole answer is announced, half of it is sent
    ClosedConnection,  // the connection is closed without any answer
    ErrorPage,         // status 200 and <error code="500">Internal server error</error>
    OtherPlayer,       // player_info: the next player of the world in place of each one asked
    ExtraPlayer,       // player_info: the players asked and one more
    Endless,           // <games>, then <game/> elements until the client or the server stops
  };
  std::chrono::milliseconds delay{0};
  int status = 0;  // 0 keeps the answer's own status
  Body body = Body::Intact;
  int bytesPerSecond = 0;  // above 0: the answer goes out at this steady rate
};

// Faults by request key.
using FaultMap = std::map<std::string, Fault>;

// A fault or key whose text cannot be read; the text says why.
class FaultError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The written form of keys and faults, for scenarios and tarn-sim's options.
//
// A key is "mode=NAME" for one mode of the XML interface, or one of the request paths
// "/tarn/prokladko/xml_server_v2.php" (every mode), "/tarn/get_replay.php",
// "/tarn/gamereplays/" (every replay file) and "/" (the home page).
//
// A fault is one or more of these, joined by ",":
//   delay:MS             wait MS milliseconds before answering (up to 600000)
//   status:CODE          answer with HTTP status CODE (100 to 599)
//   slow:BYTES           send the answer at a steady BYTES a second
// and at most one of:
//   malformed            a stray end tag after the document
//   truncated            announce the whole length, send half, hang up
//   closed               close the connection without an answer
//   error_page           status 200 and <error code="500">Internal server error</error>
//   other_player         player_info answers with the next player of the world instead
//   extra_player         player_info answers with the players asked and one more
//   endless              a game list that never ends
// For example "delay:3000,status:503" or "endless,slow:200".
std::string ParseFaultKey(std::string_view text);
Fault ParseFault(std::string_view text);

}  // namespace tarn::sim
