#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

// Readable Qt texts in test failures (found by argument-dependent lookup, so in Qt's namespace).
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* os) {
  *os << '{';
  for (qsizetype i = 0; i < texts.size(); ++i) {
    if (i > 0) *os << ", ";
    PrintTo(texts[i], os);
  }
  *os << '}';
}
