#include "gui/current_games_page.h"

#include <QPainter>
#include <QShowEvent>
#include <vector>

#include "gui/table_grid.h"
#include "platform/clock.h"
#include "store/db_monitor.h"
#include "ui_current_games_page.h"

namespace tarn {
namespace {

constexpr int kClockPeriodMs = 1000;
constexpr QColor kNewTurnBackground{128, 128, 128};
constexpr int kAvatarSize = 64;

// Captions and visibility of the CurrentGames columns, by position.
std::vector<GridColumn> CurrentGamesColumns() {
  const auto shown = [](QString caption) { return GridColumn{std::move(caption), true}; };
  const GridColumn hidden{QString(), false};
  return {
      hidden,                                                // game_id
      hidden,                                                // map_id
      shown(CurrentGamesPage::tr("Map name")),               // map_name
      hidden,                                                // competitor_id
      shown(CurrentGamesPage::tr("Competitor")),             // competitor_name
      shown(CurrentGamesPage::tr("My side")),                // own_side
      shown(CurrentGamesPage::tr("My turn")),                // own_turn
      shown(CurrentGamesPage::tr("My turn date")),           // own_turn_date
      shown(CurrentGamesPage::tr("Competitors turn date")),  // competitor_turn_date
      hidden,                                                // game_status
      shown(CurrentGamesPage::tr("Start date")),             // start_time
      shown(CurrentGamesPage::tr("Turn limit")),             // turn_limit
      hidden,                                                // ingame_time
      hidden,                                                // alies_density
      shown(CurrentGamesPage::tr("Revenue turns")),          // revenue_turns
      hidden,                                                // unit_set
      shown(CurrentGamesPage::tr("Chess clock")),            // chess_clock
      shown(CurrentGamesPage::tr("Rating game")),            // rating_game
      shown(CurrentGamesPage::tr("Tournament")),             // tourney
      hidden,                                                // tournament_id
      hidden,                                                // date_create
      hidden,                                                // date_update
      hidden,                                                // new_turn
      shown(CurrentGamesPage::tr("Tournament name")),        // tournament_name
      hidden,                                                // active_deadline
      hidden,                                                // passive_remaining_time
      shown(CurrentGamesPage::tr("Freeze hours")),           // freeze_time
      {QString(), true},                                     // mentor_game keeps its name
  };
}

// The current games' cells: grey rows where the player is to move, and the side emblem in place
// of the side's text.
class CurrentGamesCells : public GridCellDelegate {
 public:
  CurrentGamesCells(const TableModel& model, const Cursor& games,
                    std::function<QPixmap(int, qreal)> smallImage, QObject* parent)
      : GridCellDelegate(parent),
        model_(model),
        smallImage_(std::move(smallImage)),
        newTurn_(games.FieldIndex("new_turn")),
        ownSide_(games.FieldIndex("own_side")) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    GridCellDelegate::paint(painter, option, index);
    if (index.column() != ownSide_) return;
    const qreal ratio = option.widget ? option.widget->devicePixelRatioF() : 1;
    const QPixmap emblem = Emblem(model_.CellValue(index.row(), ownSide_).AsText(), ratio);
    if (emblem.isNull()) return;
    const QSize size = emblem.deviceIndependentSize().toSize();
    const QRect place = QStyle::alignedRect(option.direction, Qt::AlignLeft | Qt::AlignVCenter,
                                            size, option.rect.adjusted(2, 0, 0, 0));
    painter->drawPixmap(place, emblem);
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    GridCellDelegate::initStyleOption(option, index);
    if (model_.CellValue(index.row(), newTurn_).AsBool()) {
      option->backgroundBrush = kNewTurnBackground;
    }
    if (index.column() == ownSide_) option->text.clear();
  }

 private:
  QPixmap Emblem(const std::string& side, qreal ratio) const {
    if (!smallImage_) return {};
    if (side == "pl") return smallImage_(0, ratio);
    if (side == "fnu") return smallImage_(1, ratio);
    return {};
  }

  const TableModel& model_;
  std::function<QPixmap(int, qreal)> smallImage_;
  int newTurn_;
  int ownSide_;
};

QString PathText(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.u16string());
}

}  // namespace

CurrentGamesPage::CurrentGamesPage(CurrentGamesServices services, QWidget* parent)
    : QWidget(parent),
      s_(std::move(services)),
      ui_(std::make_unique<Ui::CurrentGamesPage>()),
      reader_(s_.db, s_.dataDir / "pics" / "Avatars") {
  ui_->setupUi(this);
  // The label comes and goes with the tournament; the panel under it stays where it is.
  QSizePolicy tournamentPolicy = ui_->Label6->sizePolicy();
  tournamentPolicy.setRetainSizeWhenHidden(true);
  ui_->Label6->setSizePolicy(tournamentPolicy);

  Table& games = s_.db.CurrentGames;
  model_ = new TableModel(games, s_.dialogs, s_.formats, this);
  model_->SetGridColumns(CurrentGamesColumns());
  TableGrid* grid = ui_->DBGridCurrGames;
  grid->setItemDelegate(new CurrentGamesCells(*model_, games, s_.pictures.smallImage, grid));
  grid->setModel(model_);

  detailsTimer_.setSingleShot(true);
  detailsTimer_.setInterval(0);
  connect(&detailsTimer_, &QTimer::timeout, this, &CurrentGamesPage::DataSource1DataChange);
  const auto detailsChanged = [this] {
    if (!detailsTimer_.isActive()) detailsTimer_.start();
  };
  connect(model_, &TableModel::CurrentRowMoved, this, detailsChanged);
  connect(model_, &QAbstractItemModel::dataChanged, this, detailsChanged);
  connect(model_, &QAbstractItemModel::rowsInserted, this, detailsChanged);
  connect(model_, &QAbstractItemModel::rowsRemoved, this, detailsChanged);
  connect(model_, &QAbstractItemModel::modelReset, this, detailsChanged);

  clockTimer_.setInterval(kClockPeriodMs);
  connect(&clockTimer_, &QTimer::timeout, this, &CurrentGamesPage::RefreshRemainingTimes);
  DataSource1DataChange();
}

CurrentGamesPage::~CurrentGamesPage() = default;

QTableView* CurrentGamesPage::Grid() const { return ui_->DBGridCurrGames; }

void CurrentGamesPage::TabGeneralShow() {
  ReportErrors(s_.dialogs, [this] {
    Table& games = s_.db.CurrentGames;
    if (!games.Active()) return;
    games.SetSortColumns({"game_id"});
    if (games.RecordCount() > 1) games.SetRecNo(1);
  });
}

void CurrentGamesPage::DataSource1DataChange() {
  detailsTimer_.stop();
  CurrentGameDetails details;
  if (!ReportErrors(s_.dialogs, [&] { details = reader_.Read(); })) details = {};
  details_ = std::move(details);
  ShowDetails();
}

void CurrentGamesPage::RefreshRemainingTimes() {
  const RemainingTimeTexts times = details_.RemainingTimesAt(s_.clock.Now(), s_.formats.clockTime);
  ui_->LabelRemainTime->setText(QString::fromStdString(times.yourTime));
  ui_->LabelCompRemTime->setText(QString::fromStdString(times.competitorTime));
}

void CurrentGamesPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) TabGeneralShow();
  RefreshRemainingTimes();
  clockTimer_.start();
}

void CurrentGamesPage::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  clockTimer_.stop();
}

void CurrentGamesPage::ShowDetails() {
  ui_->LabelTournament->setText(QString::fromStdString(details_.tournament));
  ui_->Label6->setVisible(!details_.tournament.empty());
  const bool map = details_.mapImage && s_.pictures.mapPicture;
  const qreal ratio = ui_->ImagePlayerMap->devicePixelRatioF();
  ui_->ImagePlayerMap->setPixmap(map ? s_.pictures.mapPicture(*details_.mapImage, ratio)
                                     : QPixmap());
  ui_->LabelCompName->setText(QString::fromStdString(details_.competitorName));
  ui_->LabelCompGlicko->setText(QString::fromStdString(details_.competitorGlicko));
  ui_->LabelCompCountry->setText(QString::fromStdString(details_.competitorCountry));
  ui_->ImageAvatar->setPixmap(Avatar());
  RefreshRemainingTimes();
}

// A picture larger than its place is scaled down to fit; an unreadable file shows nothing.
QPixmap CurrentGamesPage::Avatar() const {
  if (details_.avatarFile.empty()) return {};
  const QPixmap picture(PathText(details_.avatarFile));
  if (picture.width() <= kAvatarSize && picture.height() <= kAvatarSize) return picture;
  return picture.scaled(kAvatarSize, kAvatarSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace tarn
