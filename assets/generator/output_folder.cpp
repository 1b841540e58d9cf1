#include "output_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace tarn::art {

void OutputFolder::Write(const QString& path, const QByteArray& bytes) {
  const QString file = QDir(root_).filePath(path);
  QFile existing(file);
  if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes) return;
  existing.close();
  if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
    throw std::runtime_error("cannot make the folder of " + file.toStdString());
  }
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
    throw std::runtime_error("cannot write " + file.toStdString() + ": " +
                             out.errorString().toStdString());
  }
}

void OutputFolder::WriteResource(const QString& path, const QByteArray& bytes,
                                 const QString& alias) {
  Write(path, bytes);
  resources_.emplace_back(path, alias);
}

void OutputFolder::WriteResourceList(const QString& path, const QString& prefix) {
  QString text =
      QStringLiteral("<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"%1\">\n")
          .arg(prefix);
  for (const auto& [file, alias] : resources_) {
    text += alias.isEmpty() ? QStringLiteral("  <file>%1</file>\n").arg(file)
                            : QStringLiteral("  <file alias=\"%1\">%2</file>\n").arg(alias, file);
  }
  text += QStringLiteral("</qresource>\n</RCC>\n");
  Write(path, text.toUtf8());
}

}  // namespace tarn::art
