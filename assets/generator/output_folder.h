#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace tarn::art {

// The folder the pictures are written into, and the list of those compiled into the program.
// A file that already holds the same bytes is left alone, so its time stamp says when the
// picture last changed.
class OutputFolder {
 public:
  explicit OutputFolder(QString root) : root_(std::move(root)) {}

  // `path` is relative to the folder; failures throw std::runtime_error.
  void Write(const QString& path, const QByteArray& bytes);
  // Written, and listed in the resource file under `alias` (under `path` when empty).
  void WriteResource(const QString& path, const QByteArray& bytes, const QString& alias = {});
  // The Qt resource file listing every resource written so far, under `prefix`.
  void WriteResourceList(const QString& path, const QString& prefix);

 private:
  QString root_;
  std::vector<std::pair<QString, QString>> resources_;  // path, alias
};

}  // namespace tarn::art
