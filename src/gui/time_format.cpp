#include "gui/time_format.h"

namespace tarn {

std::string CoreTimeFormat(const QString& desktopFormat) {
  std::string format;
  bool hours = false;
  for (qsizetype i = 0; i < desktopFormat.size();) {
    const QChar c = desktopFormat[i];
    qsizetype run = 1;
    while (i + run < desktopFormat.size() && desktopFormat[i + run] == c) ++run;
    if (c == u'\'') {  // quoted text is copied without its quotes
      const qsizetype end = desktopFormat.indexOf(u'\'', i + 1);
      const qsizetype stop = end < 0 ? desktopFormat.size() : end;
      format += desktopFormat.mid(i + 1, stop - i - 1).toStdString();
      i = stop + 1;
      continue;
    }
    if (c == u'H' || c == u'h') {
      format += "HH";
      hours = true;
    } else if (c == u'm') {
      format += "mm";
    } else if (c == u's') {
      format += "ss";
    } else if (c == u'z') {
      format += "zzz";
    } else if (c == u'A' || c == u'a' || c == u'P' || c == u'p' || c == u't') {
      // no 12-hour mark and no zone: drop the blank that stood before it too
      while (!format.empty() && format.back() == ' ') format.pop_back();
    } else {
      format += QString(run, c).toStdString();
    }
    i += run;
  }
  while (!format.empty() && format.back() == ' ') format.pop_back();
  return hours ? format : "HH:mm:ss";
}

}  // namespace tarn
