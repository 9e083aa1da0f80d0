// The game as a whole: owns every piece of program-wide state, runs the start-up
// sequence and the main loop, and offers the commands the menu and the sessions share.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

#include "app/board_editor.h"
#include "app/cell_input.h"
#include "app/menu.h"
#include "app/play_session.h"
#include "app/screen.h"
#include "engine/game_core.h"
#include "platform/runtime.h"
#include "render/board_view.h"
#include "render/drawing.h"
#include "render/hint_panel.h"
#include "render/panels.h"
#include "render/timer.h"
#include "app/board_dialog.h"
#include "storage/board_file.h"
#include "storage/hall_of_fame.h"
#include "storage/help.h"
#include "app/hall_of_fame_dialog.h"
#include "app/printing.h"

namespace app {

inline constexpr const char* kWindowTitle = "Punktivo V1.0";
inline constexpr int kWindowOuterWidth = 862;
inline constexpr int kWindowOuterHeight = 723;
// Top-left corner of the captured empty button row.
inline constexpr int kStatusStripLeft = 29;
inline constexpr int kStatusStripTop = 597;

// Top-left corner of the main window on a screen of the given size: centred on the
// client area, 32 px higher, halves rounded to even.
QPoint computeWindowPosition(QSize screen);

class App final {
 public:
  explicit App(platform::Runtime& runtime);
  ~App();

  // Opens the window and draws the start screen.
  void startUp();
  // Processes events until the main window is gone.
  void runMainLoop();
  // Releases what start-up took (fonts, captured strip) and waits for the clock thread.
  void shutDown();
  // The fonts and the captured strip given back (by the confirmed exit and the shut-down).
  void releaseScreen();

  // Win_0_Close: the exit question; true when the window may close.
  bool Win_0_Close();
  // Draws the whole screen anew from what the game holds (after the window moved to a
  // screen of another pixel density), counting and sounding nothing again.
  void redrawScreen();

  // Commands shared by the menu, the play session and the editor.
  void newGame();
  void openLoadDialog();
  void openSaveDialog();
  void printBoard();
  void printGames();
  // "Spiele mit Lösungen drucken": the four puzzles, then a page of their solutions.
  void printGamesWithSolutions();
  void runBoardEditor();
  void showHallOfFame();
  void showHelpTopic(const QString& topic);
  // "Zeige Kandidaten" and M: the marks cleared, the computed candidates shown or hidden,
  // the board redrawn (which computes them). Callers make it one undoable step.
  void toggleComputedCandidates();
  // "Rätsel bewerten": the grade of the puzzle's givens with its dots, in a message box.
  void showGrade();
  // A switch of "E&xtras" by its menu id ("Gleiche Ziffern hervorheben", "Notizen automatisch
  // bereinigen", "Fehler zusätzlich markieren"): switched, remembered, and the board redrawn.
  void toggleOption(int id);

  // --- undo and redo ----------------------------------------------------------------------
  // Runs a change of the board as one step the player can undo.
  void step(const std::function<void()>& change);
  // After a new game, a load, a shuffle, a solve: nothing to undo.
  void freshHistory();
  // Undoes (or redoes) one step and draws the board as it was; false when there was none.
  bool undoStep(bool redo);

  platform::Runtime& runtime() { return runtime_; }
  punktivo::GameCore& core() { return core_; }
  Screen& screen() { return screen_; }
  punktivo::BoardModel& model() { return core_.model(); }
  punktivo::Settings& settings() { return core_.settings(); }
  punktivo::GameState& game() { return core_.game(); }
  InputState& input() { return input_; }
  render::Drawing& drawing() { return drawing_; }
  render::Panels& panels() { return panels_; }
  render::HintPanel& hintPanel() { return hintPanel_; }
  render::BoardView& view() { return view_; }
  render::Timer& timer() { return timer_; }
  CellInput& cells() { return cells_; }
  punktivo::Solver& solver() { return core_.solver(); }
  Menu& menu() { return menu_; }
  punktivo::BoardFile& boardFile() { return boardFile_; }
  punktivo::Generator& generator() { return core_.generator(); }
  punktivo::Printing& printing() { return printing_; }
  punktivo::HallOfFame& hall() { return hall_; }
  punktivo::HallOfFameDialogs& hallDialogs() { return hallDialogs_; }
  punktivo::BoardDialog& boardDialog() { return boardDialog_; }
  PlaySession& session() { return session_; }
  punktivo::History& history() { return core_.history(); }

  // The empty button row, drawn back to wipe the buttons after each command.
  platform::ImageHandle statusStrip = 0;
  // The six buttons of the play session or the editor stand in the button row.
  bool buttonRowShown = false;

 private:
  void drawStaticScreen();

  platform::Runtime& runtime_;
  // The core draws through the screen, which is built after it: nothing is drawn before
  // start-up.
  punktivo::GameCore core_;
  InputState input_;
  render::Drawing drawing_;
  render::Panels panels_;
  render::HintPanel hintPanel_;
  render::Timer timer_;
  render::BoardView view_;
  Screen screen_;
  CellInput cells_;
  punktivo::BoardFile boardFile_;
  punktivo::BoardDialog boardDialog_;
  punktivo::Printing printing_;
  punktivo::HallOfFame hall_;
  punktivo::HallOfFameDialogs hallDialogs_;
  Menu menu_;
  PlaySession session_;
  BoardEditor editor_;
};

}  // namespace app
