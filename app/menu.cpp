// Menu bar and command dispatch.
#include "app/menu.h"

#include "app/last_game.h"
#include "app/puzzle_links.h"
#include "app/startup.h"

#include <algorithm>
#include <iterator>

namespace app {

const QStringList& menuDefinition() {
  static const QStringList definition = {
      "&Punktivo",
      "8:&Neues Spiel", "-", "10:&Spielstart", "25:N&eustart", "-", "12:Spieledruck", "-", "99:&Beenden",
      "",
      "&Optionen",
      "20:&lade Brett", "21:&sichere Brett", "-", "22:&Brett lösen", "26:B&rett löschen", "27:Brett &drucken",
      "24:Brett &mischen", "-", "11:&Eigenes Brett",
      "",
      "Sch&wierigkeit",
      "30:&Leicht", "31:&Mittel", "32:&Schwer", "33:&Extrem", "-", "44:Zeige &Kandidaten", "-",
      "45:Rätsel-Symmetrie", "-", "50:&Ruhmeshalle",
      "",
      "E&xtras",
      "70:&Rückgängig\tStrg+Z", "71:&Wiederholen\tStrg+Y", "-", "72:&Gleiche Ziffern hervorheben", "-",
      "73:&Letztes Spiel fortsetzen", "-", "74:Lösungen &zählen\tU", "-", "75:Als Link &kopieren",
      "76:Link &einfügen", "-", "80:&Tipp\tT",
      "81:Rätsel &bewerten", "82:Zurück zum letzten &fehlerfreien Stand\tStrg+Rück",
      "-", "84:&Pause\tP",
      "-", "85:&Notizen automatisch bereinigen",
      "86:Fehler zusätzlich &markieren",
      "-", "87:Spiele mit Lösungen &drucken",
      "",
      "&Hilfe",
      "60:&Anleitung", "-", "1:über &Punktivo...",
      "",
      "",
  };
  return definition;
}

namespace {

struct Item {
  int id;
  QString caption;
};

Item splitItem(const QString& entry) {
  const qsizetype colon = entry.indexOf(':');
  return {entry.left(colon).toInt(), entry.mid(colon + 1)};
}

}  // namespace

int Menu::buildPopup(const QStringList& definition, int& position) {
  platform::Runtime& rt = app_.runtime();
  const int popup = rt.createPopupMenu();
  while (position < definition.size()) {
    const QString& entry = definition[position++];
    if (entry.isEmpty()) break;
    if (entry == "-") {
      rt.appendMenuSeparator(popup);
    } else if (entry.startsWith('>')) {
      const int nested = buildPopup(definition, position);
      rt.appendSubmenu(popup, nested, entry.mid(1));
    } else {
      const Item item = splitItem(entry);
      rt.appendMenuItem(popup, item.id, item.caption);
    }
  }
  return popup;
}

void Menu::buildMenuBar() {
  platform::Runtime& rt = app_.runtime();
  const QStringList& definition = menuDefinition();
  const int bar = rt.createMenuBar();
  int position = 0;
  while (position < definition.size()) {
    const QString& entry = definition[position++];
    if (entry.isEmpty()) break;
    if (entry.contains(':')) {
      const Item item = splitItem(entry);
      rt.appendMenuItem(bar, item.id, item.caption);
    } else {
      const int popup = buildPopup(definition, position);
      rt.appendSubmenu(bar, popup, entry);
    }
  }
  rt.setWindowMenu(bar);
  rt.onMenuEvent = [this](int id) { Win_0_MenuEvent(id); };
  // Undo, redo and the solution count act inside a session or the editor only.
  for (int id : kSessionMenuItems) rt.keepMenuItemEnabled(id);
  setSessionItems(SessionKind::None);
}

void Menu::setSessionItems(SessionKind kind) {
  sessionKind_ = kind;
  refreshSessionItems();
}

void Menu::refreshSessionItems() {
  platform::Runtime& rt = app_.runtime();
  const bool running = sessionKind_ != SessionKind::None;
  rt.setMenuItemEnabled(kMenuUndo, running && app_.history().canUndo());
  rt.setMenuItemEnabled(kMenuRedo, running && app_.history().canRedo());
  rt.setMenuItemEnabled(kMenuCountSolutions, sessionKind_ == SessionKind::Editor);
  rt.setMenuItemEnabled(kMenuHint, sessionKind_ == SessionKind::Play);
  rt.setMenuItemEnabled(kMenuBackToCorrect, sessionKind_ == SessionKind::Play);
  rt.setMenuItemEnabled(kMenuPause, sessionKind_ == SessionKind::Play && app_.game().timedGame);
}

void Menu::updateMenuChecks() {
  platform::Runtime& rt = app_.runtime();
  for (int id = kMenuEasy; id <= kMenuExtreme; ++id) rt.setMenuCheck(id, false);
  for (int id : {int(kMenuShowCandidates), int(kMenuSymmetry), int(kMenuHighlight), int(kMenuTidyNotes),
                 int(kMenuMarkErrors)})
    rt.setMenuCheck(id, false);
  const punktivo::Settings& settings = app_.settings();
  rt.setMenuCheck(kMenuEasy + settings.difficulty, true);
  if (settings.showCandidates) rt.setMenuCheck(kMenuShowCandidates, true);
  if (settings.puzzleSymmetry) rt.setMenuCheck(kMenuSymmetry, true);
  if (settings.highlightSameDigits) rt.setMenuCheck(kMenuHighlight, true);
  if (settings.tidyNotes) rt.setMenuCheck(kMenuTidyNotes, true);
  if (settings.markErrors) rt.setMenuCheck(kMenuMarkErrors, true);
}

void Menu::Win_0_MenuEvent(int id) {
  platform::Runtime& rt = app_.runtime();
  if (running_) {
    // One command at a time; the session's own items go to the loop that runs.
    if (std::find(std::begin(kSessionMenuItems), std::end(kSessionMenuItems), id) != std::end(kSessionMenuItems))
      rt.postCommand(id);
    return;
  }
  running_ = true;
  rt.setMenuEnabled(false);
  switch (id) {
    case kMenuNewGame: case kMenuStartGame: case kMenuOwnBoard: case kMenuLoadBoard: case kMenuSaveBoard:
    case kMenuSolveBoard: case kMenuShuffleBoard: case kMenuRestart:
      app_.panels().helpText = kHintClickCell;
      app_.panels().drawHelpPanel();
      break;
    default:
      break;
  }
  runCommand(id);
  commonEnding();
  rt.setMenuEnabled(true);
  running_ = false;
}

void Menu::commonEnding() {
  platform::Runtime& rt = app_.runtime();
  // Ends any timed game, and with it the clock thread.
  app_.game().timedGame = false;
  if (!rt.windowExists()) return;
  rt.setPointer(platform::Pointer::Normal);
  updateMenuChecks();
  app_.panels().updateDifficultyPanel();
  app_.panels().helpText = "Bitte Menupunkt auswählen!";
  app_.panels().showHelpText();
  rt.drawImage(app_.statusStrip, kStatusStripLeft, kStatusStripTop);
  app_.buttonRowShown = false;
}

void Menu::runCommand(int id) {
  punktivo::BoardModel& model = app_.model();
  punktivo::Settings& settings = app_.settings();
  Screen& screen = app_.screen();
  switch (id) {
    case kMenuNewGame:
      app_.newGame();
      break;
    case kMenuStartGame:
      app_.session().runPlaySession();
      break;
    case kMenuRestart:
      screen.drawMainScreen();
      app_.step([&] { model.restartBoard(); });
      app_.session().runPlaySession();
      break;
    case kMenuPrintGames:
      app_.printGames();
      break;
    case kMenuExit:
      confirmExit();
      break;
    case kMenuLoadBoard:
      app_.openLoadDialog();
      app_.panels().updateDifficultyPanel();
      screen.redrawBoard();
      app_.session().runPlaySession();
      break;
    case kMenuSaveBoard:
      app_.openSaveDialog();
      app_.session().runPlaySession();
      break;
    case kMenuSolveBoard:
      app_.core().solveBoard();
      app_.freshHistory();
      break;
    case kMenuClearBoard:
      model.clearBoard();
      app_.freshHistory();
      break;
    case kMenuPrintBoard:
      app_.printBoard();
      break;
    case kMenuShuffleBoard: {
      const auto known = app_.core().shuffleBoard();
      screen.drawMainScreen();
      app_.core().deriveDotsQuietly(known);
      screen.redrawBoard();
      app_.freshHistory();
      break;
    }
    case kMenuOwnBoard:
      app_.freshHistory();
      app_.runBoardEditor();
      app_.input().editorMode = false;
      break;
    case kMenuEasy: case kMenuEasy + 1: case kMenuEasy + 2: case kMenuExtreme:
      settings.difficulty = int16_t(id - kMenuEasy);
      break;
    case kMenuShowCandidates:
      // A step, as M is: the player's notes come back with the next session's undo.
      app_.step([&] { app_.toggleComputedCandidates(); });
      break;
    case kMenuSymmetry:
      settings.puzzleSymmetry = !settings.puzzleSymmetry;
      break;
    case kMenuHighlight:
    case kMenuTidyNotes:
    case kMenuMarkErrors:
      app_.toggleOption(id);
      break;
    case kMenuPrintWithSolutions:
      app_.printGamesWithSolutions();
      break;
    case kMenuHallOfFame:
      app_.showHallOfFame();
      break;
    case kMenuResume:
      resumeLastGame(app_);
      break;
    case kMenuGrade:
      app_.showGrade();
      break;
    case kMenuCopyLink:
      copyPuzzleLink(app_);
      break;
    case kMenuPasteLink:
      pastePuzzleLink(app_);
      break;
    case kMenuInstructions:
      app_.showHelpTopic(punktivo::kOverviewTopic);
      break;
    case kMenuAbout:
      app_.runtime().messageBox(platform::MessageIcon::Information,
                                QString(kWindowTitle) +
                                    "\n\nSudoku mit Punkten: jede Ziffer einmal in jeder Zeile, Spalte und "
                                    "jedem Block. Ein weißer Punkt verbindet Nachbarn, die sich um 1 "
                                    "unterscheiden, ein schwarzer Punkt Nachbarn, von denen einer das "
                                    "Doppelte des anderen ist; wo kein Punkt steht, gilt keins von beiden.",
                                "&OK", 1);
      break;
    default:
      break;
  }
}

bool Menu::confirmExit() {
  platform::Runtime& rt = app_.runtime();
  if (rt.messageBox(platform::MessageIcon::Question, "Spiel beenden?", "&JA|&NEIN", 2) != 1) return false;
  if (app_.session().running()) app_.session().keepGame();
  app_.game().timedGame = false;
  app_.releaseScreen();
  rt.closeWindow();
  return true;
}

}  // namespace app
