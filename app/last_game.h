// "Letztes Spiel fortsetzen": the game in play kept in its own file ("letztes.spiel") whenever
// the player leaves a play session or the program ends during one, and brought back by the
// menu item.
#pragma once

namespace app {

class App;

// Writes the board, level, timing and mistakes to the file when they make a game worth
// resuming (a board with givens); otherwise, or when the write fails, the old file stays as
// it was. Nothing is shown: a player who never resumes a game sees nothing of it.
void keepLastGame(App& app);

// The menu command: reads the file, puts the game back as loading a board does and runs the
// play session, timing a timed game on from where it stopped. Without a file, or with one
// that is damaged or not ours, a message says so and nothing else changes.
void resumeLastGame(App& app);

}  // namespace app
