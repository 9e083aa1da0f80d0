// The help window over a QTextBrowser whose pages and pictures come from the help source.
#include "platform/help_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QSplitter>
#include <QToolButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <functional>

namespace platform {

namespace {

// Windows-1252 bytes 0x80-0x9F (undefined ones kept as their C1 code).
constexpr char16_t kCp1252High[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

QString decodeCp1252(const QByteArray& bytes) {
  QString out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    out += QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
  }
  return out;
}

}  // namespace

QString decodeHtml(const QByteArray& bytes) {
  static const QRegularExpression charset(QStringLiteral("charset\\s*=\\s*[\"']?([A-Za-z0-9_\\-]+)"),
                                          QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = charset.match(QString::fromLatin1(bytes.left(2048)));
  const QString name = match.hasMatch() ? match.captured(1).toLower() : QString();
  if (name == "windows-1252" || name == "cp1252") return decodeCp1252(bytes);
  if (name == "iso-8859-1" || name == "latin1" || name == "iso8859-1") return QString::fromLatin1(bytes);
  QByteArray utf8 = bytes;
  if (utf8.startsWith("\xEF\xBB\xBF")) utf8.remove(0, 3);
  return QString::fromUtf8(utf8);
}

// The browser: every page and picture is read from the help source; links to other
// places (another scheme, a page the document lacks) are not followed.
class HelpBrowser final : public QTextBrowser {
 public:
  explicit HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    setOpenExternalLinks(false);
    setOpenLinks(true);
  }

  std::shared_ptr<const HelpSource> pages;
  std::function<void(const QString&)> onRefused;

  QVariant loadResource(int type, const QUrl& name) override {
    if (!pages) return {};
    const QUrl url = name.isRelative() ? HelpWindow::pageUrl(currentPage()).resolved(name) : name;
    const QString page = HelpWindow::pageOfUrl(url);
    if (page.isEmpty()) return {};
    const std::optional<QByteArray> bytes = pages->page(page);
    if (!bytes) return {};
    switch (type) {
      case QTextDocument::HtmlResource:
        return decodeHtml(*bytes);
      case QTextDocument::StyleSheetResource:
        return QString::fromUtf8(*bytes);
      case QTextDocument::ImageResource: {
        QImage image;
        if (!image.loadFromData(*bytes)) return {};
        return image;
      }
      default:
        return *bytes;
    }
  }

  QString currentPage() const { return HelpWindow::pageOfUrl(QTextBrowser::source()); }

 protected:
  void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override {
    const QUrl url = name.isRelative() ? HelpWindow::pageUrl(currentPage()).resolved(name) : name;
    const QString page = HelpWindow::pageOfUrl(url);
    const std::optional<QString> stored = pages && !page.isEmpty() ? pages->storedName(page) : std::nullopt;
    if (!stored) {
      if (onRefused) onRefused(name.toString());
      return;
    }
    QUrl canonical = HelpWindow::pageUrl(*stored);
    canonical.setFragment(url.fragment());
    QTextBrowser::doSetSource(canonical, type);
  }
};

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Window) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Punktivo – Hilfe"));
  resize(960, 680);

  back_ = new QToolButton(this);
  back_->setText(QStringLiteral("◀ Zurück"));
  back_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  back_->setEnabled(false);
  forward_ = new QToolButton(this);
  forward_->setText(QStringLiteral("Vorwärts ▶"));
  forward_->setEnabled(false);
  status_ = new QLabel(this);

  contents_ = new QTreeWidget(this);
  contents_->setHeaderHidden(true);
  contents_->setColumnCount(1);
  contents_->setRootIsDecorated(true);

  browser_ = new HelpBrowser(this);
  browser_->onRefused = [this](const QString& target) {
    status_->setText(QStringLiteral("Seite nicht gefunden: %1").arg(target));
  };

  auto* splitter = new QSplitter(this);
  splitter->addWidget(contents_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({200, 760});

  auto* bar = new QHBoxLayout;
  bar->addWidget(back_);
  bar->addWidget(forward_);
  bar->addWidget(status_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(bar);
  layout->addWidget(splitter, 1);

  connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
  // historyChanged comes once the browser is done with a new page (back and forward too).
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] { pageChanged(); });
  connect(browser_, &QTextBrowser::historyChanged, this, [this] { pageChanged(); });
  const auto openItem = [this](QTreeWidgetItem* item) {
    const QString page = item->data(0, Qt::UserRole).toString();
    if (!page.isEmpty() && page != currentPage()) open(page);
  };
  connect(contents_, &QTreeWidget::itemActivated, this, openItem);
  connect(contents_, &QTreeWidget::itemClicked, this, openItem);
}

HelpWindow* HelpWindow::current() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* window = qobject_cast<HelpWindow*>(widget)) return window;
  return nullptr;
}

HelpWindow* HelpWindow::showPage(std::shared_ptr<const HelpSource> source, const QString& page,
                                 QWidget* gameWindow) {
  HelpWindow* window = current();
  if (window == nullptr) {
    window = new HelpWindow;
    if (gameWindow != nullptr) {
      // The help goes when the game goes; a window left behind would outlive the application.
      QPointer<HelpWindow> guard(window);
      connect(gameWindow, &QObject::destroyed, [guard] { delete guard.data(); });
    }
  }
  window->setSource(std::move(source));
  window->open(page);
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

QUrl HelpWindow::pageUrl(const QString& name) {
  QUrl url;
  url.setScheme(QString::fromLatin1(kUrlScheme));
  url.setPath(QLatin1Char('/') + name, QUrl::DecodedMode);
  return url;
}

QString HelpWindow::pageOfUrl(const QUrl& url) {
  if (url.scheme() != QLatin1String(kUrlScheme)) return {};
  QString path = url.path(QUrl::FullyDecoded);
  while (path.startsWith(QLatin1Char('/'))) path.remove(0, 1);
  return path;
}

QString HelpWindow::currentPage() const { return browser_->currentPage(); }

QTextBrowser* HelpWindow::browser() const { return browser_; }

void HelpWindow::setSource(std::shared_ptr<const HelpSource> source) {
  const bool changed = !source_ || !source || source_->identity() != source->identity();
  source_ = std::move(source);
  browser_->pages = source_;
  if (changed) {
    browser_->clearHistory();
    fillContents();
    reloadNeeded_ = true;
  }
}

void HelpWindow::open(const QString& target) {
  status_->clear();
  const qsizetype hash = target.indexOf(QLatin1Char('#'));
  const QString page = hash < 0 ? target : target.left(hash);
  const QString fragment = hash < 0 ? QString() : target.mid(hash + 1);
  QUrl url = pageUrl(page);
  if (!fragment.isEmpty()) url.setFragment(fragment);
  const bool samePage = pageOfUrl(browser_->source()) == page;
  if (samePage && reloadNeeded_) browser_->reload();
  reloadNeeded_ = false;
  if (!samePage || !fragment.isEmpty()) browser_->setSource(url);
  else browser_->verticalScrollBar()->setValue(0);  // a topic asked for again shows from its start
  pageChanged();
}

void HelpWindow::fillContents() {
  contents_->clear();
  if (!source_) return;
  std::vector<QTreeWidgetItem*> parents;
  for (const HelpSource::ContentsEntry& entry : source_->contents()) {
    const int level = std::max(0, std::min<int>(entry.level, int(parents.size())));
    parents.resize(size_t(level));
    auto* item = parents.empty() ? new QTreeWidgetItem(contents_) : new QTreeWidgetItem(parents.back());
    item->setText(0, entry.caption);
    item->setData(0, Qt::UserRole, entry.page);
    parents.push_back(item);
  }
  contents_->expandAll();
}

void HelpWindow::pageChanged() {
  const QString title = browser_->documentTitle();
  setWindowTitle(title.isEmpty() ? QStringLiteral("Punktivo – Hilfe") : QStringLiteral("Punktivo – Hilfe: ") + title);
  // The entry of the page and its anchor, else the entry of the page.
  const QString page = currentPage();
  const QString fragment = browser_->source().fragment();
  QTreeWidgetItem* best = nullptr;
  for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
    const QString target = (*it)->data(0, Qt::UserRole).toString();
    if (!fragment.isEmpty() && target == page + QLatin1Char('#') + fragment) {
      best = *it;
      break;
    }
    if (best == nullptr && target == page) best = *it;
  }
  if (best != nullptr) contents_->setCurrentItem(best);
}

}  // namespace platform
