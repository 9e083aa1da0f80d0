// A fresh folder that is the working directory while it lives (the Qt tests' form of
// TempDir with WorkingDir): the game reads and writes its files by their bare names there.
#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <stdexcept>

namespace punktivo::testing {

class WorkingFolder {
 public:
  WorkingFolder() {
    if (!folder_.isValid()) throw std::runtime_error("no temporary folder");
    QDir::setCurrent(folder_.path());
  }
  ~WorkingFolder() { QDir::setCurrent(previous_); }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

  QString path() const { return folder_.path(); }
  QString filePath(const QString& name) const { return folder_.filePath(name); }

 private:
  QString previous_ = QDir::currentPath();
  QTemporaryDir folder_;
};

}  // namespace punktivo::testing
