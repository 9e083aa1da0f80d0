// Keeping and resuming the last game.
#include "app/last_game.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/startup.h"
#include "storage/resume_file.h"

namespace app {

namespace {

uint32_t toMilliseconds(double seconds) {
  const double ms = std::round(seconds * 1000.0);
  return static_cast<uint32_t>(std::clamp(ms, 0.0, double(std::numeric_limits<uint32_t>::max())));
}

}  // namespace

void keepLastGame(App& app) {
  punktivo::ResumeState state = punktivo::resumeStateOf(app.model());
  state.difficulty = app.settings().difficulty;
  state.mistakeCount = app.game().mistakeCount;
  state.timedGame = app.game().timedGame;
  state.hintShown = state.timedGame && app.game().hintShown;
  if (state.timedGame) state.elapsedMilliseconds = toMilliseconds(app.timer().elapsedTime());
  if (!punktivo::isKeepable(state)) return;
  const punktivo::WriteResult written = punktivo::writeResumeFile(state);
  // Only for whoever reads the program's output: the player is in the middle of leaving.
  if (!written) std::fprintf(stderr, "punktivo: %s not written: %s\n", punktivo::kResumeFile, written.describe().c_str());
}

void resumeLastGame(App& app) {
  platform::Runtime& rt = app.runtime();
  const punktivo::ResumeReadResult read = punktivo::readResumeFile();
  if (read.status == punktivo::ResumeStatus::kMissing) {
    rt.messageBox(platform::MessageIcon::Information,
                  "Es gibt kein gespeichertes Spiel.\n"
                  "Ein Spiel wird gespeichert, wenn Sie es verlassen oder Punktivo während des Spiels beenden.",
                  "&OK", 1);
    return;
  }
  if (!read.ok()) {
    const QString why = read.status == punktivo::ResumeStatus::kUnreadable
                            ? "Die Datei \"%1\" mit dem gespeicherten Spiel kann nicht gelesen werden."
                            : "Das gespeicherte Spiel ist beschädigt oder stammt nicht von Punktivo "
                              "(Datei \"%1\").";
    rt.messageBox(platform::MessageIcon::Warning,
                  why.arg(punktivo::kResumeFile) + "\nEs kann nicht fortgesetzt werden; das Brett bleibt, wie es ist.",
                  "&OK", 1);
    return;
  }

  const punktivo::ResumeState& state = read.state;
  punktivo::restoreModel(state, app.model());
  app.settings().difficulty = int16_t(state.difficulty);
  app.menu().updateMenuChecks();
  app.game().mistakeCount = int16_t(state.mistakeCount);
  app.game().hintShown = state.hintShown;
  app.freshHistory();
  // Drawn as a loaded board is: the grid and its dots anew, the panels, then the session.
  app.screen().drawMainScreen();
  app.panels().updateDifficultyPanel();
  app.panels().helpText = kHintClickCell;
  app.panels().drawHelpPanel();
  if (state.timedGame) {
    app.game().timedGame = true;
    app.timer().startTiming(state.elapsedMilliseconds / 1000.0);
    app.timer().refreshClock();
  }
  app.session().runPlaySession();
}

}  // namespace app
