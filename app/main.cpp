// Entry point of the game.
#include <QApplication>

#include "app/startup.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  platform::Runtime runtime;
  app::App game(runtime);
  game.startUp();
  game.runMainLoop();
  game.shutDown();
  return 0;
}
