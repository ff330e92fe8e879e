// Program start: the toolkit's application object, the main window, the
// event loop. The loop's result is the process's exit code.
#include "app/main_window.h"

int main(int argc, char* argv[]) {
  FX::FXApp application("Sorvane_2D", "FOX Sorvane_2D");
  application.init(argc, argv, TRUE);
  new Sorvane_2D(&application);  // owned by the application from here on
  application.create();
  return application.run();
}
