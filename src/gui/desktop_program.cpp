#include "gui/desktop_program.h"

#include <QApplication>

#include "gui/desktop.h"
#include "gui/main_window.h"
#include "gui/message_box_dialogs.h"
#include "gui/shell_windows.h"
#include "gui/table_model.h"

namespace tarn {

int RunDesktop(int& argc, char** argv, const SessionOptions& options,
               const Environment& environment, const std::filesystem::path& executablePath) {
  QApplication app(argc, argv);
  // The title of the message boxes; the windows name themselves without it.
  QApplication::setApplicationName(QStringLiteral("Tarn Monitor"));
  QApplication::setDesktopFileName(QStringLiteral("tarn-monitor"));
  // The program lives on in the tray while no window is shown; only the main window ends it.
  QApplication::setQuitOnLastWindowClosed(false);
  const SystemDesktop desktop(executablePath.parent_path());
  QApplication::setWindowIcon(desktop.AppIcon());

  MessageBoxDialogs dialogs;
  try {
    MonitorSession session(options, environment, executablePath.parent_path(), dialogs);
    // The times of the notifications as the desktop writes a time of day.
    TForm1 form(session.Services(DateFormats::System().clockTime), desktop, session.DataDir());
    dialogs.SetParent(&form);
    TFormPlayer player;
    TFormMonitorSettings settings;
    form.SetDialogWindows(&player, &settings);
    if (!session.LoadTables()) {
      dialogs.ShowError(kRepairTableAdvice);
      return 1;
    }
    QObject::connect(&form, &TForm1::Closed, &app, &QCoreApplication::quit);
    form.show();
    const int status = QApplication::exec();
    session.Db().Close();
    return status;
  } catch (const std::exception& e) {
    dialogs.ShowError(e.what());
    return 1;
  }
}

}  // namespace tarn
