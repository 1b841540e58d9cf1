#pragma once

#include <string>
#include <vector>

#include "store/table.h"
#include "store/table_file.h"

namespace tarn {

// What the program knows of one of its eight tables before any file is read.
struct TableDefinition {
  std::string name;
  std::string fileName;  // inside the data folder's db/
  std::vector<ColumnDef> columns;
  // The column whose value tells the rows apart; a file without it cannot be opened. Empty for a
  // table whose rows are not found by any column.
  std::string idColumn;
  std::vector<IndexDef> indexes;
  TableRows builtIn;    // held from the table's creation until its file is loaded
  TableRows delivered;  // the content of a file made for a new data folder
};

const TableDefinition& PlayersDefinition();
const TableDefinition& MapsDefinition();
const TableDefinition& CurrentGamesDefinition();
const TableDefinition& GlobalSettingsDefinition();
const TableDefinition& InterfaceSettingsDefinition();
const TableDefinition& UserSettingsDefinition();
const TableDefinition& PlayerGamesDefinition();
const TableDefinition& TournamentsDefinition();

}  // namespace tarn
