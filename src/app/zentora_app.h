#pragma once

namespace zentora {

// The desktop program: prepares what Qt and its web engine need before the
// application object exists, then runs the main window until it closes.
class CZentoraApp {
 public:
  // argv may name a project file to open at start.
  static int Run(int argc, char* argv[]);

 private:
  static void PrepareEnvironment();
};

}  // namespace zentora
