// Program start: the standard descriptors, the toolkit's application object,
// the main window, the event loop. The loop's result is the process's exit
// code.
#include <cstdio>

#include "app/main_window.h"
#include "solver/text/standard_streams.h"

int main(int argc, char* argv[]) {
  // Before anything opens a file: a closed standard output would otherwise
  // be taken by the first listing.
  const sorvane::text::StandardDescriptors std_fds =
      sorvane::text::open_closed_standard_descriptors();
  if (!std_fds.ok()) {
    std::fprintf(stderr, "Sorvane_2D: %s\n", std_fds.error.c_str());
    return 1;
  }
  FX::FXApp application("Sorvane_2D", "FOX Sorvane_2D");
  application.init(argc, argv, TRUE);
  new Sorvane_2D(&application);  // owned by the application from here on
  application.create();
  return application.run();
}
