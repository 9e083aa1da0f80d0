// The name dialog and the hall-of-fame dialog, driven by posted clicks and keys in a
// temporary working directory with a fixed date.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <array>
#include <deque>
#include <functional>

#include "app/hall_of_fame_dialog.h"
#include "support/working_folder.h"

namespace punktivo {
namespace {

using Rows = std::vector<QStringList>;
using Action = std::function<void(platform::Form&)>;

void postClickAt(QWidget* target, QPoint at) {
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QCoreApplication::postEvent(
        target, new QMouseEvent(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier));
  }
}

void click(platform::Form& form, const QString& control) {
  QWidget* w = form.control(control);
  postClickAt(w, w->rect().center());
}

void postKey(QWidget* target, int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, modifiers, text));
  QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, modifiers, text));
}

// Types `text` into the name box over whatever it held, as a player selecting all first.
void typeName(platform::Form& form, const QString& text) {
  QWidget* box = form.control("ed1");
  postKey(box, Qt::Key_A, QString(), Qt::ControlModifier);
  for (const QChar c : text) postKey(box, Qt::Key_unknown, QString(c));
}

// The player clicks the tab of `level` in the tab strip.
void clickTab(platform::Form& form, int level) {
  QTabBar* bar = static_cast<QTabWidget*>(form.control("tbs1"))->tabBar();
  postClickAt(bar, bar->tabRect(level).center());
}

// What one showing of ruhm held.
struct HallView {
  QString caption;
  QStringList tabs;
  int tab = -1;
  std::array<Rows, 4> lists;
  QPoint position;
  QStringList headers;
};

HallEntry entryOf(const char* name, const char* date, const char* time) { return {name, date, time}; }

// Places 1-10 with times 00:01:00.0 ... 00:10:00.0 and names "p1" ... "p10".
HallLevel fullLevel() {
  HallLevel level;
  for (int place = 1; place <= kHallPlaces; ++place)
    level[place - 1] = {QString::asprintf("p%d", place).toStdString(), "01.01.2026",
                        QString::asprintf("00:%02d:00.0", place).toStdString()};
  return level;
}

QByteArray fileBytes() {
  QFile file(kHallOfFameFile);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

class HallDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime.openWindow(0, 0, 862, 723, "Punktivo");
    runtime.setClientSize(platform::Runtime::kClientWidth, platform::Runtime::kClientHeight);
    runtime.dateSource = [] { return QString("07.12.2026"); };
    runtime.messageBoxResponder = [this](const platform::MessageBoxRequest& request) {
      messages.push_back(request);
      return answer;
    };
    dialogs.onNameDialogShown = [this](platform::Form& form) {
      watchdog(form);
      ++nameDialogs;
      offeredName = form.text("ed1");
      // The window becomes active only later; the widget it will give the focus to is set now.
      focusedOnOpen = form.window()->focusWidget() != nullptr ? form.window()->focusWidget()->objectName() : QString();
      namePosition = form.window()->pos();
      ASSERT_TRUE(nameAction) << "no name dialog expected";
      nameAction(form);
    };
    dialogs.onHallShown = [this](platform::Form& form) {
      watchdog(form);
      views.push_back(look(form));
      if (hallActions.empty()) {
        click(form, "cmd3");
      } else {
        hallActions.front()(form);
        hallActions.pop_front();
      }
    };
  }

  // A dialog the script failed to close is closed after a while, so the test fails
  // instead of hanging.
  static void watchdog(platform::Form& form) {
    QWidget* window = form.window();
    QTimer::singleShot(20000, window, [window] { window->close(); });
  }

  static HallView look(platform::Form& form) {
    HallView view;
    view.caption = form.window()->windowTitle();
    auto* tabs = static_cast<QTabWidget*>(form.control("tbs1"));
    for (int i = 0; i < tabs->count(); ++i) view.tabs << tabs->tabText(i);
    view.tab = form.currentTab("tbs1");
    for (int level = 0; level < 4; ++level) view.lists[level] = form.listRows("liste" + QString::number(level + 1));
    view.position = form.window()->pos();
    auto* list = static_cast<QTreeWidget*>(form.control("liste1"));
    for (int c = 0; c < list->columnCount(); ++c) view.headers << list->headerItem()->text(c);
    return view;
  }

  QPoint clientPoint(int x, int y) const { return runtime.clientWidget()->mapToGlobal(QPoint(x, y)); }

  void saveLevel(int level, const HallLevel& entries) {
    hall.tables[level] = entries;
    ASSERT_TRUE(hall.saveHallOfFame());
  }

  punktivo::testing::WorkingFolder folder;
  platform::Runtime runtime;
  HallOfFame hall;
  HallOfFameDialogs dialogs{runtime, hall};

  std::vector<platform::MessageBoxRequest> messages;
  int answer = 1;
  Action nameAction;  // unset: no name dialog may appear
  int nameDialogs = 0;
  QString offeredName;
  QString focusedOnOpen;
  QPoint namePosition;
  std::deque<Action> hallActions;  // one per showing; then "&OK"
  std::vector<HallView> views;
};

Action giveName(const QString& name) {
  return [name](platform::Form& form) {
    typeName(form, name);
    click(form, "cmd5");
  };
}

TEST_F(HallDialogs, TheFirstResultOfALevelLandsAtPlaceOneAndIsSaved) {
  nameAction = giveName("Anna");
  const auto outcome = dialogs.recordResult("00:07:42.3", 1);

  EXPECT_EQ(outcome.place, 1);
  EXPECT_TRUE(outcome.entered);
  ASSERT_TRUE(outcome.save && *outcome.save);
  EXPECT_EQ(nameDialogs, 1);
  EXPECT_EQ(offeredName, "");
  EXPECT_EQ(focusedOnOpen, "ed1");
  EXPECT_EQ(namePosition, clientPoint(177, 234));
  EXPECT_EQ(dialogs.championName, "Anna");

  ASSERT_EQ(views.size(), 1u);
  const HallView& view = views[0];
  EXPECT_EQ(view.caption, "Ruhmeshalle");
  EXPECT_EQ(view.tabs, QStringList({"Leicht", "Mittel", "Schwer", "Extrem"}));
  EXPECT_EQ(view.tab, 1) << "the level of the game";
  EXPECT_EQ(view.position, clientPoint(68, 136));
  EXPECT_EQ(view.headers, QStringList({"#", "Name", "Datum", "Zeit"}));
  EXPECT_EQ(view.lists[1], Rows({{" 1.", "Anna", "07.12.2026", "00:07:42.3"}}));
  EXPECT_TRUE(view.lists[0].empty());
  EXPECT_TRUE(view.lists[2].empty());
  EXPECT_TRUE(view.lists[3].empty());

  HallOfFame reread;
  reread.loadHallOfFame();
  EXPECT_EQ(reread.entry(1, 1), entryOf("Anna", "07.12.2026", "00:07:42.3"));
  EXPECT_EQ(fileBytes().count("\r\n"), 120);
}

TEST_F(HallDialogs, PlaceTenAndALongNameShowInFullAndTheListFitsTheForm) {
  HallLevel level = fullLevel();
  level[9].name = std::string(25, 'W');  // the widest letter
  hall.tables[0] = level;
  hallActions.push_back([](platform::Form& form) {
    QCoreApplication::processEvents();  // the list's delayed layout
    auto* list = static_cast<QTreeWidget*>(form.control("liste1"));
    ASSERT_EQ(list->topLevelItemCount(), 10);
    EXPECT_EQ(list->topLevelItem(9)->text(0), "10.");
    int columns = 0;
    for (int c = 0; c < list->columnCount(); ++c) {
      // The view's own measure of its rows' texts with its padding; narrower shows "…".
      EXPECT_GE(list->columnWidth(c), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c)) << c;
      columns += list->columnWidth(c);
    }
    EXPECT_GE(list->viewport()->width(), columns) << "no horizontal scrolling";
    EXPECT_LE(list->visualItemRect(list->topLevelItem(9)).bottom(), list->viewport()->height());
    const QRect inside = form.window()->rect();
    for (const char* control : {"tbs1", "cmd3", "cmd4"})
      EXPECT_TRUE(inside.contains(form.control(control)->geometry())) << control;
    EXPECT_LE(form.window()->geometry().right(), form.window()->parentWidget()->geometry().right());
    click(form, "cmd3");
  });
  dialogs.showHallOfFame(0);
  ASSERT_EQ(views.size(), 1u);
}

TEST_F(HallDialogs, AnEleventhFasterResultEntersAtOneAndDropsPlaceTen) {
  saveLevel(3, fullLevel());
  nameAction = giveName("Zed");
  EXPECT_EQ(dialogs.recordResult("00:00:30.0", 3).place, 1);

  ASSERT_EQ(views.size(), 1u);
  const Rows& rows = views[0].lists[3];
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[0], QStringList({" 1.", "Zed", "07.12.2026", "00:00:30.0"}));
  EXPECT_EQ(rows[1][1], "p1");
  EXPECT_EQ(rows[9], QStringList({"10.", "p9", "01.01.2026", "00:09:00.0"}));

  HallOfFame reread;
  reread.loadHallOfFame();
  EXPECT_EQ(reread.entry(3, 1).name, "Zed");
  EXPECT_EQ(reread.entry(3, 10).name, "p9");
  EXPECT_EQ(fileBytes().count("\r\n"), 120);
}

TEST_F(HallDialogs, AResultEqualToPlaceThreeEntersAtPlaceFour) {
  saveLevel(0, fullLevel());
  nameAction = giveName("Tie");
  EXPECT_EQ(dialogs.recordResult("00:03:00.0", 0).place, 4);
  ASSERT_EQ(views.size(), 1u);
  const Rows& rows = views[0].lists[0];
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[2][1], "p3");
  EXPECT_EQ(rows[3], QStringList({" 4.", "Tie", "07.12.2026", "00:03:00.0"}));
  EXPECT_EQ(rows[4][1], "p4");
}

TEST_F(HallDialogs, ASlowerResultShowsNoNameDialogButTheList) {
  saveLevel(2, fullLevel());
  const QByteArray before = fileBytes();
  const auto outcome = dialogs.recordResult("00:10:00.1", 2);
  EXPECT_EQ(outcome.place, 0);
  EXPECT_FALSE(outcome.save.has_value());
  EXPECT_EQ(nameDialogs, 0);
  ASSERT_EQ(views.size(), 1u);
  EXPECT_EQ(views[0].tab, 2);
  EXPECT_EQ(views[0].lists[2].size(), 10u);
  EXPECT_EQ(fileBytes(), before);
}

TEST_F(HallDialogs, CancellingTheNameLeavesListsFileAndNameAsTheyWere) {
  nameAction = giveName("Anna");
  dialogs.recordResult("00:05:00.0", 0);
  const QByteArray saved = fileBytes();
  const HallTables tables = hall.tables;

  // The next qualifying result offers the last name; the player types another and cancels.
  nameAction = [](platform::Form& form) {
    typeName(form, "Bob");
    click(form, "cmd6");
  };
  const auto cancelled = dialogs.recordResult("00:04:00.0", 0);
  EXPECT_EQ(offeredName, "Anna");
  EXPECT_EQ(cancelled.place, 1);
  EXPECT_FALSE(cancelled.entered);
  EXPECT_FALSE(dialogs.championAccepted);
  EXPECT_EQ(dialogs.championName, "Anna");
  EXPECT_EQ(hall.tables, tables);
  EXPECT_EQ(fileBytes(), saved);
  ASSERT_EQ(views.size(), 2u);
  EXPECT_EQ(views[1].lists[0], Rows({{" 1.", "Anna", "07.12.2026", "00:05:00.0"}}));

  // Escape works as the close box: the same.
  nameAction = [](platform::Form& form) { postKey(form.window(), Qt::Key_Escape, QString()); };
  dialogs.recordResult("00:03:00.0", 0);
  EXPECT_EQ(hall.tables, tables);
  EXPECT_EQ(fileBytes(), saved);

  // Opened from the menu the list is unchanged; accepting the offered name enters it.
  dialogs.showHallOfFame(0);
  EXPECT_EQ(views.back().lists[0], views[1].lists[0]);
  nameAction = [](platform::Form& form) { click(form, "cmd5"); };
  dialogs.recordResult("00:02:00.0", 0);
  EXPECT_EQ(hall.entry(0, 1), entryOf("Anna", "07.12.2026", "00:02:00.0"));
  EXPECT_EQ(hall.entry(0, 2), entryOf("Anna", "07.12.2026", "00:05:00.0"));
  EXPECT_EQ(nameDialogs, 4);
}

TEST_F(HallDialogs, DeletingOnTheSchwerTabEmptiesOnlyTheHardList) {
  for (int level = 0; level < 4; ++level) hall.tables[level] = fullLevel();
  ASSERT_TRUE(hall.saveHallOfFame());

  answer = 2;  // "&NEIN" first: nothing happens
  hallActions.push_back([](platform::Form& form) {
    clickTab(form, 2);
    click(form, "cmd4");
    click(form, "cmd3");
  });
  dialogs.showHallOfFame(0);
  ASSERT_EQ(views.size(), 1u);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].icon, platform::MessageIcon::Question);
  EXPECT_EQ(messages[0].text, "Wirklich löschen?");
  EXPECT_EQ(messages[0].buttons, QStringList({"&JA", "&NEIN"}));
  EXPECT_EQ(messages[0].defaultButton, 1);
  EXPECT_EQ(hall.tables[2], fullLevel());

  answer = 1;
  views.clear();
  hallActions.push_back([](platform::Form& form) {
    clickTab(form, 2);
    click(form, "cmd4");
  });
  dialogs.showHallOfFame(0);
  ASSERT_EQ(views.size(), 2u) << "the dialog opens again after the delete";
  EXPECT_EQ(views[0].tab, 0);
  EXPECT_EQ(views[1].tab, 2) << "showing the emptied list";
  EXPECT_TRUE(views[1].lists[2].empty());
  EXPECT_EQ(views[1].lists[0].size(), 10u);
  EXPECT_EQ(views[1].lists[1].size(), 10u);
  EXPECT_EQ(views[1].lists[3].size(), 10u);

  HallOfFame reread;
  reread.loadHallOfFame();
  EXPECT_EQ(reread.tables[0], fullLevel());
  EXPECT_EQ(reread.tables[1], fullLevel());
  EXPECT_EQ(reread.tables[2], HallLevel{});
  EXPECT_EQ(reread.tables[3], fullLevel());
}

TEST_F(HallDialogs, ATimeBeginningWithNineIsNeverListed) {
  hall.entry(0, 1) = entryOf("Fast", "01.01.2026", "00:01:00.0");
  hall.entry(0, 2) = entryOf("Slow", "02.01.2026", "95:00:00.0");
  ASSERT_TRUE(hall.saveHallOfFame());
  hall.loadHallOfFame();

  const auto outcome = dialogs.recordResult("90:00:00.0", 1);  // an empty list
  EXPECT_EQ(outcome.place, 0);
  EXPECT_EQ(nameDialogs, 0);
  ASSERT_EQ(views.size(), 1u);
  EXPECT_TRUE(views[0].lists[1].empty());
  EXPECT_EQ(views[0].lists[0], Rows({{" 1.", "Fast", "01.01.2026", "00:01:00.0"}}));
}

TEST_F(HallDialogs, ANameOutsideAsciiIsStoredInWindows1252AndShownAgain) {
  nameAction = giveName("Jürgen Größe");
  dialogs.recordResult("00:12:05.3", 2);
  const QByteArray bytes = fileBytes();
  EXPECT_TRUE(bytes.contains(QByteArray("\r\nJ\xFCrgen Gr\xF6\xDF" "e\r\n07.12.2026\r\n00:12:05.3\r\n")));
  EXPECT_FALSE(bytes.contains("Jürgen")) << "not as UTF-8";

  HallOfFame reread;
  reread.loadHallOfFame();
  HallOfFameDialogs again(runtime, reread);
  again.onHallShown = dialogs.onHallShown;
  again.showHallOfFame(2);
  EXPECT_EQ(views.back().lists[2][0][1], "Jürgen Größe");
}

TEST_F(HallDialogs, AFailedSaveIsReportedAndTheEntryKeptInTheLists) {
  hall.entry(1, 1) = entryOf("Old", "01.01.2026", "00:09:00.0");
  ASSERT_TRUE(hall.saveHallOfFame());
  const QByteArray before = fileBytes();
  FailAfterBytes full(10);
  hall.setFileCalls(full);

  nameAction = giveName("New");
  const auto outcome = dialogs.recordResult("00:08:00.0", 1);
  ASSERT_TRUE(outcome.save.has_value());
  EXPECT_FALSE(*outcome.save);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text.section('\n', 0, 0), "Die Ruhmeshalle konnte nicht gesichert werden.");
  EXPECT_EQ(fileBytes(), before);
  ASSERT_EQ(views.size(), 1u);
  EXPECT_EQ(views[0].lists[1].size(), 2u) << "the new entry is kept for the next save";
  EXPECT_EQ(QDir().entryList(QDir::Files), QStringList({kHallOfFameFile}));
}

TEST_F(HallDialogs, TheCloseBoxClosesTheHallOfFame) {
  hallActions.push_back([](platform::Form& form) { postKey(form.window(), Qt::Key_Escape, QString()); });
  dialogs.showHallOfFame(3);
  ASSERT_EQ(views.size(), 1u);
  EXPECT_EQ(views[0].tab, 3);
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(QFile::exists(kHallOfFameFile)) << "showing the lists writes nothing";
}

}  // namespace
}  // namespace punktivo
