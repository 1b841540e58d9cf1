#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/records.h"
#include "store/table.h"

namespace tarn {

class Clock;
class Dialogs;
struct TableDefinition;

// What merging a listed game into a games table did; the numbers are the ones callers count by.
enum class MergeResult {
  Unchanged = 0,
  NewGame = 1,          // appended
  CompetitorMoved = 2,  // the competitor's turn date changed (the own one may have too)
  OwnMoved = 3,         // only the own turn date changed
};

// The store holder: the eight tables of the program, their files and the record operations
// that write server records into them.
class TFormDBMonitor {
 public:
  TFormDBMonitor(Dialogs& dialogs, const Clock& clock);
  ~TFormDBMonitor();  // writes every changed table (as Close)

  // Loads the eight tables from dataDir/db. A missing db/ folder or file is created from the
  // delivered content first. A file that cannot be read is reported through Dialogs::ShowError
  // with "Cannot open file \"<path>\". <reason>"; that table stays closed for the run and is never
  // written; the other tables load normally.
  void FormCreate(const std::filesystem::path& dataDir);

  // Writes every table that changed since it was loaded or last saved (atomically).
  // Throws with a clear message when a file cannot be written; the old file stays intact.
  void SaveChanges();
  // SaveChanges, then closes the tables. Called at exit.
  void Close();

  Table Players;
  Table Maps;
  Table CurrentGames;
  Table GlobalSettings;
  Table InterfaceSettings;
  Table UserSettings;
  Table PlayerGames;
  Table Tournaments;

  // Record operations. Each takes its own copy of the record and posts at once.
  void InsertCurrentGame(TS_CURRGAME game);
  void InsertPlayerGame(TS_CURRGAME game);
  void UpdateCurrentGame(TS_CURRGAME game);
  void UpdatePlayerGame(TS_CURRGAME game);
  MergeResult MergeCurrentGame(TS_CURRGAME game);
  MergeResult MergePlayerGame(TS_CURRGAME game);
  void SetTimeZone(int index, int hours, int minutes);
  void AppendPlayer(TS_PLAYER player);
  void UpdatePlayer(TS_PLAYER player);
  void AppendTournament(TS_TOURNAMENT tournament);

 private:
  // One of the eight tables with the file it is written to; no file while it has not been loaded
  // or when its file could not be made or read.
  struct StoredTable {
    Table* table;
    const TableDefinition* definition;
    std::filesystem::path file;
  };

  void LoadTable(StoredTable& stored, const std::filesystem::path& dbDir);
  void InsertGame(Table& games, const TS_CURRGAME& game, bool withPlayer);
  void UpdateGame(Table& games, const TS_CURRGAME& game);
  MergeResult MergeGame(Table& games, const TS_CURRGAME& game, bool withPlayer);
  static void WritePlayer(Table& players, const TS_PLAYER& player);

  Dialogs& dialogs_;
  const Clock& clock_;
  std::vector<StoredTable> tables_;  // in load order
  bool closed_ = false;
};

}  // namespace tarn
