// Showing a topic of the compiled help file in the program's own help window, or the
// failure message when the file or the topic cannot be shown.
#pragma once

#include <QString>

#include <memory>

#include "platform/help_window.h"
#include "platform/runtime.h"

namespace punktivo {

class HelpFile;

// The failure message: the fixed text followed directly by the file name as the caller gave it.
inline constexpr const char* kHelpErrorText = "Error while trying to display a topic of ";

// Opens `topic` of `helpFile` (a bare name, found like the other stock files) in the help
// window and returns at once; the game goes on beside it. When the file is missing or
// not a help file, or the topic is missing or unreadable, shows the failure message with
// an OK button instead. Returns whether the topic is on show.
bool showHelpTopic(platform::Runtime& runtime, const QString& helpFile, const QString& topic);

// The help window's pages, read from an open help file.
class ChmHelpSource final : public platform::HelpSource {
 public:
  explicit ChmHelpSource(std::unique_ptr<HelpFile> file);
  ~ChmHelpSource() override;

  std::optional<QByteArray> page(const QString& name) const override;
  std::optional<QString> storedName(const QString& name) const override;
  std::vector<ContentsEntry> contents() const override;
  QString identity() const override;

  const HelpFile& file() const { return *file_; }

 private:
  std::unique_ptr<HelpFile> file_;
  QString identity_;
};

}  // namespace punktivo
