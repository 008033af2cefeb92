// zentora: the desktop program.

#include "app/zentora_app.h"

int main(int argc, char* argv[]) {
  return zentora::CZentoraApp::Run(argc, argv);
}
