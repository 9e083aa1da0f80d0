// "Als Link kopieren" and "Link einfügen": the puzzle on the board as a link of the web's
// solving tools on the clipboard, and a link from the clipboard opened in the editor.
#pragma once

namespace app {

class App;

// Puts the f-puzzles link of the board's givens and dots (not the player's digits) on the
// clipboard and says so.
void copyPuzzleLink(App& app);

// Reads the clipboard's link. One the board can hold faithfully replaces the board, as a
// loaded record does, and opens it in the editor; any other leaves the board untouched and
// a message says why.
void pastePuzzleLink(App& app);

}  // namespace app
