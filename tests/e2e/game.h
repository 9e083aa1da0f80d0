// The real game as a player meets it: its own process on the test's X server, in a fresh
// working directory, reached only through XTEST input and read back from the screen.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "tests/e2e/x_server.h"

namespace e2e {

inline const QString kMainTitle = QStringLiteral("Punktivo V1.0");
inline const QString kSaveTitle = QStringLiteral("Sichern unter ...");
inline const QString kLoadTitle = QStringLiteral("Welches Brett laden?");

// The six buttons of the play session and the editor, in their order on screen.
inline const QRect kClock(646, 592, 160, 30);  // the clock label
inline const QRect kMistakes(626, 345, 220, 18);  // "Fehler: n/3" in the status panel

enum Button { kLoad, kSave, kPrint, kRestart, kHelp, kAbort };
enum class ButtonLook { Absent, Up, Pressed };
enum class Ink { None, Blue, Red, Black };

struct GameOptions {
  std::string seed = "1";
  double scaleFactor = 0;  // QT_SCALE_FACTOR, 0 for none
  std::string dataDir = PUNKTIVO_SOURCE_DATA_DIR;  // where the stock files are found
  // Files put into the working directory before the start: name and bytes.
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
};

class Game {
 public:
  explicit Game(const GameOptions& options = {});
  ~Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  XServer& x() { return x_; }
  const std::filesystem::path& dir() const { return dir_; }
  unsigned long mainWindow() const { return window_; }

  // --- input in client coordinates ------------------------------------------------------
  QPoint toScreen(QPoint client) const { return origin_ + client * scale_; }
  double scale() const { return scale_; }
  void click(int x, int y, int button = 1);
  void press(int x, int y, int button = 1);
  void release(int button = 1);
  void tap(const char* keysym) { x_.tap(keysym); }
  // Alt+`menuLetter`, waits for the pop-up, then `itemLetter` (as a player chooses by keyboard).
  void chooseMenu(const char* menuLetter, const char* itemLetter);
  // Alt+`menuLetter`, then Down `downs` times and Return: the item chosen without its letter.
  void chooseMenuByArrows(const char* menuLetter, int downs);
  // Presses a key, waits for `condition` (what the press does), then lets the key go.
  void pressKeyUntil(const char* keysym, const std::function<bool()>& condition);
  QPoint cellCentre(int row, int column) const;
  QPoint buttonCentre(Button button) const;

  // --- what the screen shows --------------------------------------------------------------
  // The screen's pixels of a client rectangle (scale() device pixels to a client pixel).
  QImage grab(const QRect& client);
  ButtonLook buttonLook(Button button);
  bool popupShown();                       // a menu is open
  bool sessionShown();                     // all six buttons drawn, none pressed
  bool idleShown();                        // the button row is empty
  bool pickerShown(int row, int column);   // the digit picker over that cell
  Ink cellInk(int row, int column);        // the colour of the digit in the cell
  QRgb cellTint(int row, int column);      // the colour of the cell's inside, near its corner
  QImage clockImage() { return grab(kClock); }
  QImage mistakeImage() { return grab(kMistakes); }
  // True when the clock label shows another caption within the deadline.
  bool clockMoves();
  // True when the clock label holds one caption for longer than a tick.
  bool clockStopped();
  // The pixels of a client rectangle once they have held still for `quiet` (a redraw that
  // is still under way is not taken), or a null image at the deadline.
  QImage stillImage(const QRect& client, std::chrono::milliseconds quiet = std::chrono::milliseconds(500));

  // The first shown window of the game other than the main window (a dialog, a message box,
  // the help), or an empty result.
  TopLevel dialog();
  // Waits for such a window; its title starts with `titleStart` when one is given.
  bool waitDialog(const QString& titleStart = QString());
  bool waitNoDialog();
  // Presses `keysym` in the open dialog and lets it go once the dialog has gone.
  void closeDialogWith(const char* keysym);

  // --- waiting -----------------------------------------------------------------------------
  bool waitWindow(const QString& title);  // a top-level with that title is shown
  bool waitNoWindow(const QString& title);
  bool running();
  // The threads of process `pid` and the kernel function each waits in, and its children.
  static std::string whereItWaits(int pid);
  bool waitExit();
  int exitStatus() const { return exitStatus_; }

  // --- files --------------------------------------------------------------------------------
  std::vector<uint8_t> readFile(const std::string& name) const;
  // The digit at (row, column) of record `slot` of "brett.ptv", or nullopt without one.
  std::optional<int> savedDigit(int slot, int row, int column) const;

  // The digits of record `slot` as 81 characters, row by row ('0' for an empty cell).
  std::string savedBoard(int slot) const;
  // Saves the board into record 1 through the session's S key and the record dialog.
  void saveThroughDialog();
  // The solution of the puzzle in record `slot` (givens and dots), row by row, or "" when it
  // has none or several.
  std::string solutionOfSaved(int slot) const;

  // Saves a picture of the whole screen beside the test's output, for a failing step.
  void saveScreenshot(const std::string& name);

 private:
  // A failing scenario's screen and game output, kept beside the test's results.
  void leaveEvidence();
  // Ends the game's process and removes its working directory.
  void stop();

  XServer& x_;
  std::filesystem::path dir_;
  pid_t pid_ = -1;
  int exitStatus_ = -1;
  QPoint origin_;
  double scale_ = 1.0;
  unsigned long window_ = 0;
};

// A board record file with one record filled from `givens` (row by row, '.' or '0' empty)
// and the other three empty.
std::vector<uint8_t> boardFileWith(const std::string& givens, int slot = 0);

}  // namespace e2e
