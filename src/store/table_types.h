#pragma once

#include <stdexcept>
#include <string>

namespace tarn {

// Every error a table raises; the text starts with the table's name and ": ".
class TableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct IndexDef {
  std::string name;
  std::string column;
  bool descending = false;
};

}  // namespace tarn
