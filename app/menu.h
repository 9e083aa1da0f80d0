// The menu bar built from its definition strings, the check marks, the dispatch of
// every menu command with its common ending, and the exit question.
#pragma once

#include <QStringList>

namespace app {

class App;

// The ids of the menu items, as the menu definition gives them.
enum MenuId : int {
  kMenuAbout = 1,
  kMenuNewGame = 8,
  kMenuStartGame = 10,
  kMenuOwnBoard = 11,
  kMenuPrintGames = 12,
  kMenuLoadBoard = 20,
  kMenuSaveBoard = 21,
  kMenuSolveBoard = 22,
  kMenuShuffleBoard = 24,
  kMenuRestart = 25,
  kMenuClearBoard = 26,
  kMenuPrintBoard = 27,
  kMenuEasy = 30,  // the four levels follow: Leicht, Mittel, Schwer, Extrem
  kMenuExtreme = 33,
  kMenuShowCandidates = 44,
  kMenuSymmetry = 45,
  kMenuHallOfFame = 50,
  kMenuInstructions = 60,
  kMenuExit = 99,
};

// The items of the menu "E&xtras", added after the original menus. All but kMenuResume
// also reach a running play session or editor (as Command messages).
enum ExtraMenuId : int {
  kMenuUndo = 70,
  kMenuRedo = 71,
  kMenuHighlight = 72,
  kMenuResume = 73,
  kMenuCountSolutions = 74,
  kMenuCopyLink = 75,
  kMenuPasteLink = 76,
  kMenuHint = 80,           // play session only
  kMenuGrade = 81,
  kMenuBackToCorrect = 82,  // play session only
  kMenuPause = 84,
  kMenuTidyNotes = 85,
  kMenuMarkErrors = 86,
  kMenuPrintWithSolutions = 87,
};
inline constexpr int kSessionMenuItems[] = {kMenuUndo,  kMenuRedo,  kMenuHighlight,    kMenuCountSolutions,
                                            kMenuHint,  kMenuGrade, kMenuBackToCorrect,
                                            kMenuPause, kMenuTidyNotes, kMenuMarkErrors};

// The menu definition, read one string after another: "id:caption" is a command item,
// any other string opens a drop-down menu ("-" separator, ">caption" nested menu inside
// one), an empty string closes the current menu or, at the top, ends the definition.
const QStringList& menuDefinition();

class Menu {
 public:
  explicit Menu(App& app) : app_(app) {}

  void buildMenuBar();
  // Enables the items of the menu "E&xtras" that belong to what runs.
  enum class SessionKind { None, Play, Editor };
  void setSessionItems(SessionKind kind);
  // Undo and redo greyed when there is nothing to undo or redo.
  void refreshSessionItems();
  void updateMenuChecks();
  void Win_0_MenuEvent(int id);
  // Asks "Spiel beenden?"; on yes ends the program. Returns whether it ends.
  bool confirmExit();

  // True while a command runs (the menu bar is disabled meanwhile).
  bool commandRunning() const { return running_; }

 private:
  int buildPopup(const QStringList& definition, int& position);
  void runCommand(int id);
  void commonEnding();

  App& app_;
  bool running_ = false;
  SessionKind sessionKind_ = SessionKind::None;
};

}  // namespace app
