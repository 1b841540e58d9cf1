#include "gui/shell_windows.h"

#include <QHBoxLayout>
#include <QLabel>

namespace tarn {
namespace {

void MakeWindow(QWidget* window, const QString& caption, const QSize& size) {
  window->setWindowTitle(caption);
  window->resize(size);
}

}  // namespace

TFormPlayer::TFormPlayer(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("FormPlayer"));
  MakeWindow(this, tr("Player"), {325, 156});
}

TFormMonitorSettings::TFormMonitorSettings(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("FormMonitorSettings"));
  MakeWindow(this, tr("Settings"), {337, 177});
}

TFormAbout::TFormAbout(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("FormAbout"));
  setAttribute(Qt::WA_DeleteOnClose);
  MakeWindow(this, tr("About Tarn Monitor"), {249, 101});
}

PlayerGamesPage::PlayerGamesPage(QWidget* parent)
    : QWidget(parent), CBMapFilter(new QComboBox(this)) {
  CBMapFilter->setObjectName(QStringLiteral("CBMapFilter"));
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(new QLabel(tr("Map:"), this));
  layout->addWidget(CBMapFilter);
  layout->addStretch();
  layout->setAlignment(Qt::AlignTop);
}

}  // namespace tarn
