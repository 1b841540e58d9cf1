#include "store/db_monitor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>

#include "store/store_tables.h"
#include "store/table_file.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;
using testing::FixedClock;
using ::testing::HasSubstr;
using testing::ReadText;
using testing::RecordingDialogs;
using ::testing::StartsWith;
using testing::TempDir;
using testing::WriteText;

const char* const kFiles[] = {"globalsettings.cds", "currgames.cds",         "maps.cds",
                              "players.cds",        "interfacesettings.cds", "usersettings.cds",
                              "playergames.cds",    "tournaments.cds"};

// What a path holds, as far as a write over it would show: its kind, and a link's target or a
// regular file's size, time and (unless it is huge) bytes.
std::string Footprint(const fs::path& path) {
  const fs::file_status status = fs::symlink_status(path);
  switch (status.type()) {
    case fs::file_type::symlink:
      return "link to " + fs::read_symlink(path).string();
    case fs::file_type::fifo:
      return "fifo";
    case fs::file_type::directory: {
      std::string entries = "folder:";
      for (const auto& entry : fs::directory_iterator(path)) entries += " " + entry.path().string();
      return entries;
    }
    case fs::file_type::regular: {
      const auto size = fs::file_size(path);
      const auto time = fs::last_write_time(path).time_since_epoch().count();
      return "file of " + std::to_string(size) + " bytes at " + std::to_string(time) + ": " +
             (size < (1u << 20) ? ReadText(path) : "(large)");
    }
    default:
      return "something else";
  }
}

// The definition's columns without the one that tells its rows apart.
std::vector<ColumnDef> WithoutIdColumn(const TableDefinition& definition) {
  std::vector<ColumnDef> columns;
  for (const ColumnDef& column : definition.columns) {
    if (column.name != definition.idColumn) columns.push_back(column);
  }
  return columns;
}

TS_PLAYER Player(int id, const std::string& alias) {
  TS_PLAYER player;
  player.player_id = id;
  player.alies = alias;
  return player;
}

class DbMonitorTest : public ::testing::Test {
 protected:
  fs::path Db(const std::string& file) const { return data_.Path() / "db" / file; }

  // Starts a run on the data folder; the previous run ends first.
  TFormDBMonitor& Start() {
    db_.reset();
    db_ = std::make_unique<TFormDBMonitor>(dialogs_, clock_);
    db_->FormCreate(data_.Path());
    return *db_;
  }
  void End() { db_.reset(); }

  // Backdates every table file, so that any later write shows in the modification time.
  std::map<std::string, fs::file_time_type> BackdateFiles() {
    std::map<std::string, fs::file_time_type> times;
    for (const char* file : kFiles) {
      const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
      fs::last_write_time(Db(file), old);
      times[file] = fs::last_write_time(Db(file));
    }
    return times;
  }
  std::vector<std::string> RewrittenFiles(
      const std::map<std::string, fs::file_time_type>& before) const {
    std::vector<std::string> rewritten;
    for (const auto& [file, time] : before) {
      if (fs::last_write_time(Db(file)) != time) rewritten.push_back(file);
    }
    return rewritten;
  }

  TempDir data_;
  RecordingDialogs dialogs_;
  FixedClock clock_;
  std::unique_ptr<TFormDBMonitor> db_;
};

TEST_F(DbMonitorTest, ANewDataFolderIsSeededWithTheDeliveredContent) {
  TFormDBMonitor& db = Start();
  EXPECT_THAT(dialogs_.errors, ::testing::IsEmpty());
  for (const char* file : kFiles) EXPECT_TRUE(fs::is_regular_file(Db(file))) << file;

  EXPECT_EQ(db.GlobalSettings.RecordCount(), 1);
  // The time zone is left empty so that the first start takes the system's.
  EXPECT_TRUE(db.GlobalSettings.Field("time_zone_index").IsNull());
  EXPECT_TRUE(db.GlobalSettings.Field("time_zone_h").IsNull());
  EXPECT_TRUE(db.GlobalSettings.Field("time_zone_m").IsNull());
  EXPECT_EQ(db.GlobalSettings.Field("last_sync").AsDateTime(),
            DateTime::FromFields(2010, 4, 25, 12, 12, 9));
  EXPECT_TRUE(db.GlobalSettings.Field("check_new_version").AsBool());

  EXPECT_EQ(db.Maps.RecordCount(), 28);
  ASSERT_TRUE(db.Maps.Locate("map_id", "iron"));
  EXPECT_EQ(db.Maps.Field("map_name").AsText(), "Station \"Thunder\"");
  EXPECT_EQ(db.Maps.Field("img_no").AsInt(), 11);
  ASSERT_TRUE(db.Maps.Locate("map_id", "micronesia"));
  EXPECT_EQ(db.Maps.Field("map_size").AsText(), "Extra Smal");
  ASSERT_TRUE(db.Maps.Locate("map_id", "aurora"));
  EXPECT_EQ(db.Maps.Field("img_no").AsInt(), 27);

  EXPECT_EQ(db.UserSettings.RecordCount(), 2);
  EXPECT_TRUE(db.UserSettings.Locate("Name", "tarndir"));
  EXPECT_TRUE(db.UserSettings.Locate("Name", "replaydir"));
  EXPECT_EQ(db.UserSettings.Field("Value").AsText(), "");

  EXPECT_EQ(db.InterfaceSettings.RecordCount(), 18);
  const std::pair<const char*, const char*> properties[] = {
      {"StoreLastPosition", "-1"}, {"Form1.ToolBar1.Visible", "-1"}, {"Form1.Font.Color", "65535"},
      {"Form1.Left", "344"},       {"FormPlayer.Top", "236"},        {"FormPlayer.Color", "0"}};
  for (const auto& [name, value] : properties) {
    ASSERT_TRUE(db.InterfaceSettings.Locate("property_name", name)) << name;
    EXPECT_EQ(db.InterfaceSettings.Field("property_value").AsText(), value) << name;
  }
  for (Table* empty : {&db.Players, &db.CurrentGames, &db.PlayerGames, &db.Tournaments}) {
    EXPECT_EQ(empty->RecordCount(), 0) << empty->Name();
  }
}

TEST_F(DbMonitorTest, AMissingFileIsMadeAgainAndTheOthersAreKept) {
  Start().AppendPlayer(Player(5, "Kept"));
  End();
  fs::remove(Db("maps.cds"));
  TFormDBMonitor& db = Start();
  EXPECT_THAT(dialogs_.errors, ::testing::IsEmpty());
  EXPECT_EQ(db.Maps.RecordCount(), 28);
  EXPECT_TRUE(fs::exists(Db("maps.cds")));
  ASSERT_EQ(db.Players.RecordCount(), 1);
  EXPECT_EQ(db.Players.Field("alies").AsText(), "Kept");
}

TEST_F(DbMonitorTest, AnUnreadableFileIsReportedClosedAndNeverWritten) {
  Start();
  End();
  WriteText(Db("globalsettings.cds"), "not a table");
  TFormDBMonitor& db = Start();
  const std::string path = fs::absolute(Db("globalsettings.cds")).string();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_THAT(dialogs_.errors[0], StartsWith("Cannot open file \"" + path + "\". "));
  EXPECT_THAT(dialogs_.errors[0], HasSubstr("not valid JSON"));

  EXPECT_FALSE(db.GlobalSettings.Active());
  EXPECT_THROW(db.SetTimeZone(14, 0, 0), TableError);
  EXPECT_EQ(db.Maps.RecordCount(), 28);  // loaded after the failing table all the same
  EXPECT_EQ(db.UserSettings.RecordCount(), 2);
  TS_CURRGAME game;
  game.game_id = 1;
  db.InsertCurrentGame(game);
  End();
  EXPECT_EQ(ReadText(Db("globalsettings.cds")), "not a table");
  EXPECT_EQ(ReadTableFile(Db("currgames.cds"), "CurrentGames", CurrentGamesDefinition().columns)
                .rows.size(),
            1u);
}

TEST_F(DbMonitorTest, AFileThatIsNoTableOfOursIsReportedClosedAndNeverWritten) {
  struct Case {
    const TableDefinition& definition;
    Table TFormDBMonitor::*table;
    std::function<void(const fs::path&)> make;
    std::string reason;
  };
  const auto withoutIdColumn = [](const TableDefinition& definition) {
    return [&definition](const fs::path& file) {
      const std::vector<ColumnDef> columns = WithoutIdColumn(definition);
      WriteText(file, TableFileText(definition.name, columns,
                                    {std::vector<Value>(columns.size(), Value())}));
    };
  };
  const auto missingId = [](const std::string& column) {
    return "The file has no column `" + column + "`, which tells its rows apart.";
  };
  const std::string notRegular = "The file is not a regular file.";
  const Case cases[] = {
      {CurrentGamesDefinition(), &TFormDBMonitor::CurrentGames,
       withoutIdColumn(CurrentGamesDefinition()), missingId("game_id")},
      {PlayerGamesDefinition(), &TFormDBMonitor::PlayerGames,
       withoutIdColumn(PlayerGamesDefinition()), missingId("game_id")},
      {PlayersDefinition(), &TFormDBMonitor::Players, withoutIdColumn(PlayersDefinition()),
       missingId("player_id")},
      {TournamentsDefinition(), &TFormDBMonitor::Tournaments,
       withoutIdColumn(TournamentsDefinition()), missingId("tournament_id")},
      {MapsDefinition(), &TFormDBMonitor::Maps, withoutIdColumn(MapsDefinition()),
       missingId("map_id")},
      {UserSettingsDefinition(), &TFormDBMonitor::UserSettings,
       withoutIdColumn(UserSettingsDefinition()), missingId("Name")},
      {InterfaceSettingsDefinition(), &TFormDBMonitor::InterfaceSettings,
       withoutIdColumn(InterfaceSettingsDefinition()), missingId("property_name")},
      // Opening a FIFO for reading waits for a writer: the start would never end.
      {CurrentGamesDefinition(), &TFormDBMonitor::CurrentGames,
       [](const fs::path& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0); }, notRegular},
      // A device never ends: reading it all would exhaust the memory.
      {PlayersDefinition(), &TFormDBMonitor::Players,
       [](const fs::path& file) { fs::create_symlink("/dev/zero", file); }, notRegular},
      {MapsDefinition(), &TFormDBMonitor::Maps,
       [](const fs::path& file) {
         fs::create_directory(file);
         WriteText(file / "inside.txt", "kept");
       },
       "Is a directory"},
      // Sparse: the size is there without the bytes being written.
      {TournamentsDefinition(), &TFormDBMonitor::Tournaments,
       [](const fs::path& file) {
         WriteText(file, TableFileText("Tournaments", TournamentsDefinition().columns, {}));
         fs::resize_file(file, (std::uintmax_t{512} << 20) + 1);
       },
       "The file is larger than 512 MB."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.definition.fileName + ": " + c.reason);
    End();
    fs::remove_all(Db(""));
    Start();
    End();
    const fs::path file = Db(c.definition.fileName);
    fs::remove(file);
    c.make(file);
    const std::string before = Footprint(file);
    dialogs_.errors.clear();

    TFormDBMonitor& db = Start();
    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_EQ(dialogs_.errors[0],
              "Cannot open file \"" + fs::absolute(file).string() + "\". " + c.reason);
    Table& table = db.*c.table;
    EXPECT_FALSE(table.Active());
    EXPECT_THROW(
        {
          table.Append();
          table.Post();
        },
        TableError);
    EXPECT_EQ(db.GlobalSettings.RecordCount(), 1);  // the others load all the same
    db.SetTimeZone(14, 0, 0);
    End();
    EXPECT_EQ(Footprint(file), before);
    EXPECT_EQ(dialogs_.errors.size(), 1u);  // nothing failed at the end either
  }
}

TEST_F(DbMonitorTest, ColumnsOfANewerVersionStayWithTheirRows) {
  Start();
  End();
  // A newer version added clan, joined and veteran, one of them among the known columns.
  WriteText(Db("players.cds"), R"({"table": "Players", "version": 1, "columns": [
      {"name": "player_id", "type": "integer"}, {"name": "clan", "type": "text", "size": 12},
      {"name": "alies", "type": "text", "size": 60}, {"name": "joined", "type": "datetime"},
      {"name": "veteran", "type": "boolean"}, {"name": "current", "type": "boolean"}],
    "rows": [[1, "Wolves", "Ann", "2009-01-02 03:04:05.000", true, false],
             [2, "Bears", "Bob", null, false, true],
             [3, null, "Cid", "2010-06-07 08:09:10.000", null, null]]})");
  TFormDBMonitor& db = Start();
  EXPECT_THAT(dialogs_.errors, ::testing::IsEmpty());
  Table& players = db.Players;
  ASSERT_EQ(players.Columns().size(), PlayersDefinition().columns.size());
  for (size_t i = 0; i < players.Columns().size(); ++i) {
    EXPECT_EQ(players.Columns()[i].name, PlayersDefinition().columns[i].name);
  }
  EXPECT_THROW(players.Field("clan"), TableError);
  EXPECT_THROW(players.FieldAt(0, static_cast<int>(players.Columns().size())), TableError);
  EXPECT_EQ(players.FieldAt(0, players.FieldIndex("alies")), Value("Ann"));
  EXPECT_EQ(players.FieldAt(0, players.FieldIndex("current")), Value(false));

  ASSERT_TRUE(players.Locate("player_id", 1));
  players.Edit();
  players.SetField("alies", "Anna");
  players.Post();
  ASSERT_TRUE(players.Locate("player_id", 2));
  players.Delete();
  db.AppendPlayer(Player(4, "Dan"));
  End();

  const nlohmann::json file = nlohmann::json::parse(ReadText(Db("players.cds")));
  const nlohmann::json& columns = file["columns"];
  const size_t known = PlayersDefinition().columns.size();
  ASSERT_EQ(columns.size(), known + 3);
  EXPECT_EQ(columns[known], (nlohmann::json{{"name", "clan"}, {"type", "text"}, {"size", 12}}));
  EXPECT_EQ(columns[known + 1], (nlohmann::json{{"name", "joined"}, {"type", "datetime"}}));
  EXPECT_EQ(columns[known + 2], (nlohmann::json{{"name", "veteran"}, {"type", "boolean"}}));
  const auto row = [&](size_t r) {
    const nlohmann::json& cells = file["rows"][r];
    return nlohmann::json{cells[0], cells[1], cells[known], cells[known + 1], cells[known + 2]};
  };
  ASSERT_EQ(file["rows"].size(), 3u);
  EXPECT_EQ(row(0), nlohmann::json::parse(R"([1, "Anna", "Wolves", "2009-01-02 03:04:05.000",
                                              true])"));
  EXPECT_EQ(row(1), nlohmann::json::parse(R"([3, "Cid", null, "2010-06-07 08:09:10.000", null])"));
  EXPECT_EQ(row(2), nlohmann::json::parse(R"([4, "Dan", null, null, null])"));

  // The file the program wrote reads back the same way.
  EXPECT_EQ(Start().Players.RecordCount(), 3);
  EXPECT_THAT(dialogs_.errors, ::testing::IsEmpty());
}

TEST_F(DbMonitorTest, ARunThatChangesNothingWritesNothing) {
  TFormDBMonitor& db = Start();
  const auto before = BackdateFiles();
  db.Maps.Locate("map_id", "eden");  // moving and reading are no changes
  db.PlayerGames.SetIndexName("GameIdIndex");
  db.SaveChanges();
  End();
  EXPECT_THAT(RewrittenFiles(before), ::testing::IsEmpty());
  for (const char* file : kFiles) EXPECT_FALSE(fs::exists(Db(std::string(file) + ".tmp")));
}

TEST_F(DbMonitorTest, SaveChangesWritesTheChangedTablesOnce) {
  TFormDBMonitor& db = Start();
  auto before = BackdateFiles();
  db.UserSettings.Edit();  // a post counts even when no value differs
  db.UserSettings.Post();
  while (db.Maps.RecordCount() > 0) db.Maps.Delete();
  db.SaveChanges();
  EXPECT_THAT(RewrittenFiles(before),
              ::testing::UnorderedElementsAre("usersettings.cds", "maps.cds"));
  EXPECT_TRUE(ReadTableFile(Db("maps.cds"), "Maps", MapsDefinition().columns).rows.empty());

  before = BackdateFiles();
  db.SaveChanges();
  End();
  EXPECT_THAT(RewrittenFiles(before), ::testing::IsEmpty());
  EXPECT_EQ(Start().Maps.RecordCount(), 0);
}

TEST_F(DbMonitorTest, ChangesComeBackInTheNextRun) {
  TS_CURRGAME game;
  game.game_id = 42;
  game.map_id = "lions eye";
  game.competitor_name = "Лев Толстой 象";
  game.own_turn_date = *DateTime::FromFields(2008, 6, 1, 10, 0, 0, 250);
  game.chess_clock = true;
  Start().InsertCurrentGame(game);
  End();
  Table& games = Start().CurrentGames;
  ASSERT_EQ(games.RecordCount(), 1);
  EXPECT_EQ(games.Field("competitor_name").AsText(), "Лев Толстой 象");
  EXPECT_EQ(games.Field("map_name").AsText(), "Lion's Eye");
  EXPECT_EQ(games.Field("own_turn_date").AsDateTime().ToStorageText(), "2008-06-01 10:00:00.250");
  EXPECT_EQ(games.Field("date_create").AsDateTime(), clock_.now);
  EXPECT_TRUE(games.Field("chess_clock").AsBool());
  EXPECT_TRUE(games.Field("mentor_game").IsNull());
}

TEST_F(DbMonitorTest, AFailedSaveKeepsTheOldFileAndWritesTheOthers) {
  TFormDBMonitor& db = Start();
  db.AppendPlayer(Player(5, "Five"));
  db.SetTimeZone(14, 0, 0);
  // Something took the name of the players file while the program ran.
  fs::remove(Db("players.cds"));
  fs::create_directories(Db("players.cds") / "inside");
  try {
    db.SaveChanges();
    FAIL() << "saved into a folder";
  } catch (const TableFileError& error) {
    EXPECT_THAT(error.what(), HasSubstr("Cannot write file \"" + Db("players.cds").string()));
  }
  EXPECT_TRUE(fs::exists(Db("players.cds") / "inside"));
  EXPECT_EQ(
      ReadTableFile(Db("globalsettings.cds"), "GlobalSettings", GlobalSettingsDefinition().columns)
          .rows[0][0],
      Value(14));
  EXPECT_TRUE(db.Players.Changed());  // tried again at the next save
  fs::remove_all(Db("players.cds"));
  db.SaveChanges();
  EXPECT_EQ(ReadTableFile(Db("players.cds"), "Players", PlayersDefinition().columns).rows.size(),
            1u);
}

TEST_F(DbMonitorTest, AFailedSaveAtExitIsReported) {
  Start().AppendPlayer(Player(5, "Five"));
  fs::remove(Db("players.cds"));
  fs::create_directories(Db("players.cds") / "inside");
  End();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_THAT(dialogs_.errors[0], StartsWith("Cannot write file"));
}

}  // namespace
}  // namespace tarn
