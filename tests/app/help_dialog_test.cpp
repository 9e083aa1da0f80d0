// Help topics as the game shows them: the failure message for a missing file or topic,
// the help window beside a running game, links between pages and the pictures, all
// read from the committed help file.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include "app/startup.h"
#include "platform/help_window.h"
#include "storage/help.h"
#include "app/help_dialog.h"

namespace {

const QString kSourceData = QString::fromUtf8(PUNKTIVO_SOURCE_DATA_DIR);
const QString kOverview = QString::fromUtf8(punktivo::kOverviewTopic);
const QString kExplanation = QString::fromUtf8(punktivo::kExplanationTopic);

// Working directory and PUNKTIVO_DATA_DIR for one test, restored afterwards.
class Place {
 public:
  explicit Place(const QString& dataDir) : old_(QDir::currentPath()), oldData_(qgetenv("PUNKTIVO_DATA_DIR")) {
    QDir::setCurrent(work_.path());
    qputenv("PUNKTIVO_DATA_DIR", dataDir.toUtf8());
  }
  ~Place() {
    QDir::setCurrent(old_);
    qputenv("PUNKTIVO_DATA_DIR", oldData_);
  }
  QString work() const { return work_.path(); }

 private:
  QTemporaryDir work_;
  QString old_;
  QByteArray oldData_;
};

void pump() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// The <title> of a source page.
QString sourceTitle(const QString& page) {
  QFile file(kSourceData + "/help/" + page);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QString text = QString::fromUtf8(file.readAll());
  const QRegularExpressionMatch m = QRegularExpression("<title>([^<]*)</title>").match(text);
  return m.captured(1);
}

// Where a person clicks a link of the page on show (viewport coordinates), scrolled into view.
std::optional<QPoint> linkPoint(QTextBrowser* browser, const QString& href) {
  QTextDocument* doc = browser->document();
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.charFormat().isAnchor() || fragment.charFormat().anchorHref() != href) continue;
      QTextCursor cursor(doc);
      cursor.setPosition(fragment.position() + fragment.length() / 2);
      browser->setTextCursor(cursor);
      browser->ensureCursorVisible();
      return browser->cursorRect(cursor).center();
    }
  }
  return std::nullopt;
}

void clickAt(QWidget* target, QPoint point) {
  const QPointF local(point);
  const QPointF global(target->mapToGlobal(point));
  QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseMove, local, global, Qt::NoButton,
                                                      Qt::NoButton, Qt::NoModifier));
  QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton,
                                                      Qt::LeftButton, Qt::NoModifier));
  QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonRelease, local, global, Qt::LeftButton,
                                                      Qt::NoButton, Qt::NoModifier));
  pump();
}

// A started game whose message boxes are answered by the test.
class HelpTopic : public ::testing::Test {
 protected:
  void SetUp() override {
    game.startUp();
    runtime.messageBoxResponder = [this](const platform::MessageBoxRequest& request) {
      boxes.push_back(request);
      return 1;
    };
  }
  void TearDown() override {
    runtime.postQuit();
    game.shutDown();
    // The help window goes with the game's window; none may be left for the next test.
    pump();
  }

  struct Snapshot {
    punktivo::Grid board, givens, dotsRight, dotsDown;
    QImage screen;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot snapshot() {
    const auto& m = game.model();
    return {m.board, m.givens, m.dotsRight, m.dotsDown, runtime.backingImage().copy()};
  }

  platform::Runtime runtime;
  app::App game{runtime};
  std::vector<platform::MessageBoxRequest> boxes;
};

TEST_F(HelpTopic, MissingFileShowsTheMessageWithOneOkButtonAndChangesNothing) {
  QTemporaryDir empty;
  Place place(empty.path());
  game.model().board[5][5] = 7;
  game.screen().redrawBoard();
  const Snapshot before = snapshot();

  EXPECT_FALSE(punktivo::showHelpTopic(runtime, "Punktivo.chm", kOverview));

  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Error while trying to display a topic of Punktivo.chm");
  EXPECT_EQ(boxes[0].buttons, QStringList{"&OK"});
  EXPECT_EQ(boxes[0].defaultButton, 1);
  EXPECT_EQ(platform::HelpWindow::current(), nullptr);
  EXPECT_TRUE(snapshot() == before);
}

TEST_F(HelpTopic, TheMessageNamesTheFileExactlyAsTheCallerGaveIt) {
  QTemporaryDir empty;
  Place place(empty.path());
  punktivo::showHelpTopic(runtime, "hilfe/Punktivo.chm", kOverview);
  punktivo::showHelpTopic(runtime, "Anleitung.chm", kOverview);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Error while trying to display a topic of hilfe/Punktivo.chm");
  EXPECT_EQ(boxes[1].text, "Error while trying to display a topic of Anleitung.chm");
}

TEST_F(HelpTopic, MissingTopicShowsTheSameMessage) {
  Place place(kSourceData);
  const Snapshot before = snapshot();
  for (const QString& topic : {QString("fehlt.htm"), QString("uebersicht.htm"), QString()}) {
    EXPECT_FALSE(punktivo::showHelpTopic(runtime, "Punktivo.chm", topic));
  }
  ASSERT_EQ(boxes.size(), 3u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.text, "Error while trying to display a topic of Punktivo.chm");
    EXPECT_EQ(box.buttons, QStringList{"&OK"});
  }
  EXPECT_EQ(platform::HelpWindow::current(), nullptr);
  EXPECT_TRUE(snapshot() == before);
}

// The working directory comes first: a file there that is no help file is not skipped.
TEST_F(HelpTopic, AFileThatIsNoHelpFileShowsTheMessage) {
  Place place(kSourceData);
  QFile fake(place.work() + "/Punktivo.chm");
  ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
  fake.write("<html>keine Hilfe</html>");
  fake.close();
  EXPECT_FALSE(punktivo::showHelpTopic(runtime, "Punktivo.chm", kOverview));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Error while trying to display a topic of Punktivo.chm");
}

// Damaged copies in the working directory: cut short, overwritten by noise, or the real header
// with noise behind it. Each asks for the overview: the page or the message, never a crash.
TEST_F(HelpTopic, DamagedCopiesShowTheMessageOrAPageNeverACrash) {
  QFile real(kSourceData + "/Punktivo.chm");
  ASSERT_TRUE(real.open(QIODevice::ReadOnly));
  const QByteArray whole = real.readAll();
  ASSERT_GT(whole.size(), 8192);
  std::mt19937 random(20261208);
  const auto noise = [&](qsizetype size) {
    QByteArray bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    return bytes;
  };
  struct Damaged {
    QString what;
    QByteArray bytes;
    bool mayOpen;  // the overview page can still be whole in it
  };
  std::vector<Damaged> copies;
  for (qsizetype size : {qsizetype{0}, qsizetype{1}, qsizetype{95}, qsizetype{4096}, whole.size() / 4, whole.size() / 2})
    copies.push_back({QString("cut to %1 bytes").arg(size), whole.left(size), false});
  copies.push_back({"cut by one byte", whole.left(whole.size() - 1), true});
  copies.push_back({"4 KiB of noise", noise(4096), false});
  copies.push_back({"noise as long as the file", noise(whole.size()), false});
  copies.push_back({"header and noise", whole.left(0x60) + noise(whole.size() - 0x60), false});
  QByteArray flipped = whole;
  for (qsizetype i = 0x60; i < flipped.size(); i += 97) flipped[i] = static_cast<char>(~flipped[i]);
  copies.push_back({"every 97th byte flipped", flipped, true});

  Place place(kSourceData);
  const Snapshot before = snapshot();
  for (const Damaged& copy : copies) {
    SCOPED_TRACE(copy.what.toStdString());
    QFile out(place.work() + "/Punktivo.chm");
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(out.write(copy.bytes), copy.bytes.size());
    out.close();
    boxes.clear();
    const bool shown = punktivo::showHelpTopic(runtime, "Punktivo.chm", kOverview);
    pump();
    if (!copy.mayOpen) {
      EXPECT_FALSE(shown);
    }
    if (shown) {
      EXPECT_TRUE(boxes.empty());
      ASSERT_NE(platform::HelpWindow::current(), nullptr);
    } else {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, "Error while trying to display a topic of Punktivo.chm");
    }
  }
  EXPECT_TRUE(snapshot() == before);
}

TEST_F(HelpTopic, BothTopicsOpenInASeparateWindowThatLeavesTheGameAlone) {
  Place place(kSourceData);
  const Snapshot before = snapshot();

  ASSERT_TRUE(punktivo::showHelpTopic(runtime, "Punktivo.chm", kOverview));
  pump();
  platform::HelpWindow* window = platform::HelpWindow::current();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->isWindow());
  EXPECT_EQ(window->parentWidget(), nullptr);
  EXPECT_EQ(window->windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(runtime.mainWindowWidget()->isEnabled());
  EXPECT_EQ(window->currentPage(), kOverview);
  EXPECT_EQ(window->browser()->documentTitle(), sourceTitle(kOverview));
  EXPECT_TRUE(window->browser()->toPlainText().contains("So fangen Sie an"));

  // A second topic reuses the window.
  ASSERT_TRUE(punktivo::showHelpTopic(runtime, "Punktivo.chm", kExplanation));
  pump();
  EXPECT_EQ(platform::HelpWindow::current(), window);
  int helpWindows = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) helpWindows += qobject_cast<platform::HelpWindow*>(w) != nullptr;
  EXPECT_EQ(helpWindows, 1);
  EXPECT_EQ(window->currentPage(), kExplanation);
  EXPECT_EQ(window->browser()->documentTitle(), sourceTitle(kExplanation));
  EXPECT_TRUE(window->browser()->toPlainText().contains("Die Zahlenwahl"));

  EXPECT_TRUE(snapshot() == before);
}

TEST_F(HelpTopic, TopicNamesInAnotherSpellingFindTheirPage) {
  Place place(kSourceData);
  ASSERT_TRUE(punktivo::showHelpTopic(runtime, "Punktivo.chm", QString::fromUtf8("Erkla\xCC\x88rung.HTM")));
  ASSERT_NE(platform::HelpWindow::current(), nullptr);
  EXPECT_EQ(platform::HelpWindow::current()->currentPage(), kExplanation);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(HelpTopic, ClickingALinkShowsTheOtherPageAndBackReturns) {
  Place place(kSourceData);
  ASSERT_TRUE(punktivo::showHelpTopic(runtime, "Punktivo.chm", kOverview));
  platform::HelpWindow* window = platform::HelpWindow::current();
  ASSERT_NE(window, nullptr);
  pump();
  QTextBrowser* browser = window->browser();

  const std::optional<QPoint> link = linkPoint(browser, kExplanation);
  ASSERT_TRUE(link.has_value()) << "the overview links to the explanation";
  pump();
  clickAt(browser->viewport(), *link);
  EXPECT_EQ(window->currentPage(), kExplanation);
  EXPECT_EQ(browser->documentTitle(), sourceTitle(kExplanation));
  EXPECT_TRUE(window->windowTitle().endsWith(sourceTitle(kExplanation)));
  ASSERT_NE(window->contentsList()->currentItem(), nullptr);
  EXPECT_EQ(window->contentsList()->currentItem()->text(0), QString::fromUtf8("Erklärung"));

  // A link with an anchor on another page.
  const std::optional<QPoint> tips = linkPoint(browser, "tipps.htm");
  ASSERT_TRUE(tips.has_value());
  pump();
  clickAt(browser->viewport(), *tips);
  EXPECT_EQ(window->currentPage(), "tipps.htm");

  browser->backward();
  pump();
  EXPECT_EQ(window->currentPage(), kExplanation);
  browser->backward();
  pump();
  EXPECT_EQ(window->currentPage(), kOverview);
  EXPECT_TRUE(window->windowTitle().endsWith(sourceTitle(kOverview)));
}

TEST_F(HelpTopic, LinksLeadingNowhereKeepThePage) {
  Place place(kSourceData);
  ASSERT_TRUE(punktivo::showHelpTopic(runtime, "Punktivo.chm", kOverview));
  platform::HelpWindow* window = platform::HelpWindow::current();
  ASSERT_NE(window, nullptr);
  const QString text = window->browser()->toPlainText();
  for (const QUrl& target : {QUrl("fehlt.htm"), QUrl("https://example.org/"), QUrl("file:///etc/passwd"),
                             platform::HelpWindow::pageUrl("../übersicht.htm")}) {
    SCOPED_TRACE(target.toString().toStdString());
    window->browser()->setSource(target);
    pump();
    EXPECT_EQ(window->currentPage(), kOverview);
    EXPECT_EQ(window->browser()->toPlainText(), text);
  }
}

TEST_F(HelpTopic, PicturesAreReadFromTheHelpFile) {
  Place place(kSourceData);
  for (const QString& topic : {kOverview, kExplanation}) {
    SCOPED_TRACE(topic.toStdString());
    ASSERT_TRUE(punktivo::showHelpTopic(runtime, "Punktivo.chm", topic));
    QTextBrowser* browser = platform::HelpWindow::current()->browser();
    pump();
    int pictures = 0;
    QTextDocument* doc = browser->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (!it.fragment().charFormat().isImageFormat()) continue;
        const QString name = it.fragment().charFormat().toImageFormat().name();
        SCOPED_TRACE(name.toStdString());
        const QVariant resource = doc->resource(QTextDocument::ImageResource, QUrl(name));
        const QImage shown = resource.value<QImage>();
        const QImage source(kSourceData + "/help/" + name);
        ASSERT_FALSE(source.isNull());
        ASSERT_FALSE(shown.isNull()) << "not loaded from the help file";
        EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32), source.convertToFormat(QImage::Format_ARGB32));
        ++pictures;
      }
    }
    EXPECT_GE(pictures, 1);
    if (topic == kExplanation) {
      EXPECT_GE(pictures, 8);
    }
  }
}

TEST_F(HelpTopic, ContentsListOpensItsPages) {
  Place place(kSourceData);
  ASSERT_TRUE(punktivo::showHelpTopic(runtime, "Punktivo.chm", kOverview));
  platform::HelpWindow* window = platform::HelpWindow::current();
  QTreeWidget* contents = window->contentsList();
  QTreeWidgetItem* tips = nullptr;
  QTreeWidgetItem* rules = nullptr;
  for (QTreeWidgetItemIterator it(contents); *it; ++it) {
    if ((*it)->text(0) == QString::fromUtf8("Lösungstipps")) tips = *it;
    if ((*it)->text(0) == "Die Regeln") rules = *it;
  }
  ASSERT_NE(tips, nullptr);
  ASSERT_NE(rules, nullptr);
  ASSERT_NE(contents->currentItem(), nullptr) << "the entry of the page on show is marked";
  EXPECT_EQ(contents->currentItem()->text(0), QString::fromUtf8("Übersicht"));
  pump();
  clickAt(contents->viewport(), contents->visualItemRect(tips).center());
  EXPECT_EQ(window->currentPage(), "tipps.htm");
  clickAt(contents->viewport(), contents->visualItemRect(rules).center());
  EXPECT_EQ(window->currentPage(), kExplanation);
  EXPECT_EQ(window->browser()->source().fragment(), "regeln");
}

// The help button of a session calls for help while the session waits for input: the
// window opens, the session goes on with the next input, board and clock untouched.
TEST_F(HelpTopic, ASessionGoesOnWhileTheHelpWindowIsOpen) {
  Place place(kSourceData);
  double now = 1000.0;
  runtime.clockSource = [&now] { return now; };
  game.game().timedGame = true;
  game.timer().startTiming();

  bool opened = false, openWhileRunning = false, timedAfter = false;
  double startBefore = 0, startAfter = 0;
  Snapshot before, after;
  QTimer::singleShot(0, [&] {
    before = snapshot();
    startBefore = game.timer().startTime();
    opened = punktivo::showHelpTopic(runtime, "Punktivo.chm", kExplanation);
    openWhileRunning = platform::HelpWindow::current() != nullptr && platform::HelpWindow::current()->isVisible();
    after = snapshot();
    startAfter = game.timer().startTime();
    timedAfter = game.game().timedGame;
    // Then the player enters a digit and leaves.
    QWidget* client = runtime.clientWidget();
    const QPointF cell(29 + 60 + 30, 45 + 30);  // column 2, row 1
    QCoreApplication::postEvent(client, new QMouseEvent(QEvent::MouseMove, cell, client->mapToGlobal(cell),
                                                        Qt::NoButton, Qt::NoButton, Qt::NoModifier));
    QCoreApplication::postEvent(client, new QMouseEvent(QEvent::MouseButtonPress, cell, client->mapToGlobal(cell),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(client, new QMouseEvent(QEvent::MouseButtonRelease, cell,
                                                        client->mapToGlobal(cell), Qt::LeftButton, Qt::NoButton,
                                                        Qt::NoModifier));
    QCoreApplication::postEvent(client, new QKeyEvent(QEvent::KeyPress, Qt::Key_6, Qt::NoModifier, "6"));
    QCoreApplication::postEvent(client, new QKeyEvent(QEvent::KeyRelease, Qt::Key_6, Qt::NoModifier, "6"));
    QCoreApplication::postEvent(client, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::postEvent(client, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier));
  });
  runtime.chooseMenuItem(10);  // "&Spielstart": the session runs until Escape

  EXPECT_TRUE(opened);
  EXPECT_TRUE(openWhileRunning);
  EXPECT_TRUE(after == before);
  EXPECT_EQ(startAfter, startBefore);
  EXPECT_TRUE(timedAfter);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(game.model().board[1][2], 6) << "the session took the input after the help opened";
  ASSERT_NE(platform::HelpWindow::current(), nullptr);
  EXPECT_TRUE(platform::HelpWindow::current()->isVisible());
  EXPECT_EQ(platform::HelpWindow::current()->currentPage(), kExplanation);
}

}  // namespace
