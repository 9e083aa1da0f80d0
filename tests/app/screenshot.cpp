// Saves the start screen (client area with its controls) to a PNG file, for looking at it.
#include <QApplication>

#include "app/startup.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 2) return 2;
  platform::Runtime runtime;
  app::App game(runtime);
  game.startUp();
  for (int i = 0; i < 5; ++i) runtime.processEventsOnce();
  return runtime.grabClient().save(argv[1]) ? 0 : 1;
}
