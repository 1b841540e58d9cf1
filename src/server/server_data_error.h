#pragma once

#include <stdexcept>

namespace tarn {

// Data from the game server that cannot be read as the value it should hold.
class ServerDataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tarn
