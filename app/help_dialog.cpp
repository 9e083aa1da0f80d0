// Help topics: the compiled help file behind the help window, and the failure message.
#include "app/help_dialog.h"

#include <QFileInfo>

#include "storage/data_files.h"
#include "storage/help.h"

namespace punktivo {

ChmHelpSource::ChmHelpSource(std::unique_ptr<HelpFile> file) : file_(std::move(file)) {
  const QFileInfo info(QString::fromStdString(file_->path().string()));
  // A file replaced on disk counts as another document.
  identity_ = info.absoluteFilePath() + QLatin1Char('|') + QString::number(info.size()) + QLatin1Char('|') +
              QString::number(info.lastModified().toMSecsSinceEpoch());
}

ChmHelpSource::~ChmHelpSource() = default;

std::optional<QByteArray> ChmHelpSource::page(const QString& name) const {
  const std::optional<std::vector<uint8_t>> bytes = file_->readPage(name.toStdString());
  if (!bytes) return std::nullopt;
  return QByteArray(reinterpret_cast<const char*>(bytes->data()), qsizetype(bytes->size()));
}

std::optional<QString> ChmHelpSource::storedName(const QString& name) const {
  const std::optional<std::string> stored = file_->findPage(name.toStdString());
  if (!stored) return std::nullopt;
  return QString::fromStdString(*stored);
}

std::vector<platform::HelpSource::ContentsEntry> ChmHelpSource::contents() const {
  std::vector<ContentsEntry> entries;
  for (const HelpContentsEntry& e : file_->contents())
    entries.push_back({QString::fromStdString(e.caption), QString::fromStdString(e.page), e.level});
  return entries;
}

QString ChmHelpSource::identity() const { return identity_; }

bool showHelpTopic(platform::Runtime& runtime, const QString& helpFile, const QString& topic) {
  const auto fail = [&] {
    runtime.messageBox(platform::MessageIcon::Warning, QString::fromLatin1(kHelpErrorText) + helpFile, "&OK", 1);
    return false;
  };
  std::unique_ptr<HelpFile> file = HelpFile::open(findDataFile(helpFile.toStdString()));
  if (!file) return fail();
  // The topic must be there and readable before the window shows it; "page#anchor" is a
  // place on a page.
  const qsizetype hash = topic.indexOf(QLatin1Char('#'));
  const std::optional<std::string> stored = file->findPage((hash < 0 ? topic : topic.left(hash)).toStdString());
  if (!stored || !file->readPage(*stored)) return fail();
  auto source = std::make_shared<ChmHelpSource>(std::move(file));
  platform::HelpWindow::showPage(std::move(source), QString::fromStdString(*stored) + (hash < 0 ? QString() : topic.mid(hash)),
                                 runtime.mainWindowWidget());
  return true;
}

}  // namespace punktivo
