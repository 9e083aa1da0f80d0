// The name dialog champ and the hall-of-fame dialog ruhm.
#include "app/hall_of_fame_dialog.h"

namespace punktivo {

namespace {

constexpr const char* kTabCaptions[kHallLevels] = {"Leicht", "Mittel", "Schwer", "Extrem"};

constexpr int kListFontSize = 12;
constexpr int kLongestName = 25;  // characters a name shows in full, also of the widest letter
constexpr int kMargin = 12;
constexpr int kButtonWidth = 100, kButtonHeight = 28;

QString listName(int level) { return "liste" + QString::number(level + 1); }

bool validLevel(int level) { return level >= 0 && level < kHallLevels; }

// One row per listed entry: the place in two positions and a full stop, name, date, time.
std::vector<QStringList> listRows(const HallLevel& level) {
  std::vector<QStringList> rows;
  for (int place = 1; place <= kHallPlaces; ++place) {
    const HallEntry& entry = level[place - 1];
    if (!isListed(entry)) continue;
    rows.push_back({QString("%1.").arg(place, 2), QString::fromStdString(entry.name),
                    QString::fromStdString(entry.date), QString::fromStdString(entry.time)});
  }
  return rows;
}

}  // namespace

HallOfFameDialogs::RecordOutcome HallOfFameDialogs::recordResult(const std::string& finalTime, int level) {
  RecordOutcome outcome;
  championAccepted = false;
  if (validLevel(level)) {
    outcome.place = qualifyingPlace(hall_.tables[level], finalTime);
    // A cancelled name dialog inserts nothing, so lists and file stay as they were.
    if (outcome.place > 0 && runNameDialog()) {
      insertAt(hall_.tables[level], outcome.place,
               HallEntry{championName, runtime_.dateText().toStdString(), finalTime});
      outcome.entered = true;
    }
  }
  if (championAccepted) {
    outcome.save = hall_.saveHallOfFame();
    // The entry stays in the lists; the next save that works writes it.
    if (!*outcome.save) reportSaveFailure();
  }
  showHallOfFame(level);
  return outcome;
}

void HallOfFameDialogs::showHallOfFame(int level) {
  int tab = validLevel(level) ? level : 0;
  // A delete closes the dialog, empties the level, saves and opens the dialog again on it.
  while (const std::optional<int> emptied = runHallDialog(tab)) {
    hall_.clearLevel(*emptied);
    const WriteResult saved = hall_.saveHallOfFame();
    if (!saved) reportSaveFailure();
    tab = *emptied;
    if (!runtime_.windowExists()) break;
  }
}

bool HallOfFameDialogs::runNameDialog() {
  platform::Form champ(runtime_, "Neuer Rekord", 177, 234, 300, 112);
  champ.addLabel("lbl2", "Glückwunsch! Ihr Name:", QRect(12, 10, 276, 20));
  champ.addTextBox("ed1", QRect(12, 36, 276, 24), QString::fromStdString(championName));
  champ.addCommandButton("cmd5", "&OK", QRect(96, 72, 90, 28));
  champ.addCommandButton("cmd6", "&Abbruch", QRect(198, 72, 90, 28));
  champ.setDefaultButton("cmd5");  // Enter in the name box accepts

  bool done = false;
  champ.onClick = [&](const QString& control) {
    if (done) return;
    if (control == "cmd5") {
      championName = champ.text("ed1").toStdString();  // as typed
      championAccepted = true;
    } else if (control != "cmd6") {
      return;
    }
    done = true;
    champ.close();
  };
  champ.onClose = [&] { done = true; };

  champ.show();
  champ.setFocus("ed1");
  if (onNameDialogShown) onNameDialogShown(champ);
  champ.runModal(done);
  return championAccepted;
}

std::optional<int> HallOfFameDialogs::runHallDialog(int tab) {
  // Columns as wide as their longest text in the list's font, and a form that holds them
  // and all ten places without scrolling.
  const std::vector<platform::ListColumn> columns = {
      {"#", platform::listColumnWidth("10.", kListFontSize)},
      {"Name", platform::listColumnWidth(QString(kLongestName, 'W'), kListFontSize)},
      {"Datum", platform::listColumnWidth("00.00.0000", kListFontSize)},
      {"Zeit", platform::listColumnWidth("00:00:00.0", kListFontSize)},
  };
  const QSize strip = platform::listTabStripSize(columns, kHallPlaces, kListFontSize);
  const int width = strip.width() + 2 * kMargin;
  const int buttonsTop = kMargin + strip.height() + 10;
  platform::Form ruhm(runtime_, "Ruhmeshalle", 68, 136, width, buttonsTop + kButtonHeight + kMargin);
  ruhm.addTabStrip("tbs1", QRect(QPoint(kMargin, kMargin), strip));
  for (int level = 0; level < kHallLevels; ++level) {
    ruhm.addListPage("tbs1", kTabCaptions[level], listName(level), columns, kListFontSize);
    ruhm.setListRows(listName(level), listRows(hall_.tables[level]));
  }
  const int deleteLeft = width - kMargin - kButtonWidth;
  ruhm.addCommandButton("cmd3", "&OK",
                        QRect(deleteLeft - 6 - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight));
  ruhm.addCommandButton("cmd4", "&Löschen", QRect(deleteLeft, buttonsTop, kButtonWidth, kButtonHeight));
  ruhm.setDefaultButton("cmd3");  // Return closes the list, as Escape does
  ruhm.setCurrentTab("tbs1", tab);

  bool done = false;
  std::optional<int> emptied;
  ruhm.onClick = [&](const QString& control) {
    if (done) return;
    if (control == "cmd3") {
      done = true;
      ruhm.close();
    } else if (control == "cmd4") {
      const int selected = ruhm.currentTab("tbs1");
      const int answer = runtime_.messageBox(platform::MessageIcon::Question, "Wirklich löschen?", "&JA|&NEIN", 1);
      if (answer == 1 && !done && validLevel(selected)) {
        emptied = selected;
        done = true;
        ruhm.close();
      }
    }
  };
  ruhm.onClose = [&] { done = true; };

  ruhm.show();
  if (onHallShown) onHallShown(ruhm);
  ruhm.runModal(done);
  return emptied;
}

void HallOfFameDialogs::reportSaveFailure() {
  runtime_.messageBox(platform::MessageIcon::Warning,
                      "Die Ruhmeshalle konnte nicht gesichert werden.\n"
                      "Die Datei \"Champions.Rhm\" bleibt, wie sie war.",
                      "&OK", 1);
}

}  // namespace punktivo
