// The program's own help window: a separate top-level window beside the game that shows
// the pages of a help document, with their pictures, and follows the links between them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform {

// Where the pages come from (the compiled help file, for the game).
class HelpSource {
 public:
  struct ContentsEntry {
    QString caption;
    QString page;
    int level = 0;
  };

  virtual ~HelpSource() = default;
  // The bytes of a page by its name inside the document (no leading '/'), or nothing.
  virtual std::optional<QByteArray> page(const QString& name) const = 0;
  // The name under which the document stores `name`, or nothing when it has no such page.
  virtual std::optional<QString> storedName(const QString& name) const = 0;
  virtual std::vector<ContentsEntry> contents() const = 0;
  // Says which document this is; the window reloads its list when it changes.
  virtual QString identity() const = 0;
};

class HelpBrowser;

class HelpWindow final : public QWidget {
  Q_OBJECT
 public:
  static constexpr const char* kUrlScheme = "chm";

  // Shows `page` of `source` in the help window, which is opened first unless one is open
  // already; returns at once. The window is no child of the game's window, so it stays
  // usable while a game dialog is open; it goes away with `gameWindow` (when given).
  static HelpWindow* showPage(std::shared_ptr<const HelpSource> source, const QString& page,
                              QWidget* gameWindow);
  // The open help window, if any.
  static HelpWindow* current();

  // The URL of a page of the document: chm:/name.
  static QUrl pageUrl(const QString& name);
  // The page named by a URL of the document (decoded, without '/' at the front and
  // without the fragment); empty for a URL of another scheme.
  static QString pageOfUrl(const QUrl& url);

  // The stored name of the page on show.
  QString currentPage() const;
  QTextBrowser* browser() const;
  QTreeWidget* contentsList() const { return contents_; }
  const HelpSource* source() const { return source_.get(); }

 private:
  HelpWindow();
  void setSource(std::shared_ptr<const HelpSource> source);
  // A page of the source, optionally followed by "#anchor".
  void open(const QString& target);
  void fillContents();
  void pageChanged();

  std::shared_ptr<const HelpSource> source_;
  HelpBrowser* browser_ = nullptr;
  QTreeWidget* contents_ = nullptr;
  QToolButton* back_ = nullptr;
  QToolButton* forward_ = nullptr;
  QLabel* status_ = nullptr;
  bool reloadNeeded_ = false;
};

// Decodes an HTML page: the charset its <meta> names (UTF-8, Windows-1252 or
// ISO-8859-1), UTF-8 when it names none.
QString decodeHtml(const QByteArray& bytes);

}  // namespace platform
