// The creo-sim program unloads the add-in with dlclose, which unmaps it as
// FreeLibrary does on Windows: nothing of the add-in may run afterwards.
#include <gtest/gtest.h>

#include <fstream>

#include "sim_program_run.h"
#include "unload_after_press.h"

namespace {

TEST(AddinUnload, AnUnloadRightAfterAPressLeavesNothingRunning) {
  LogCapture log;
  tavixtest::LocalTavixService service;
  std::ofstream("unload.sim") << unloadAfterPressScript(3) << "module libtavix-creo.so\n";
  const SimProgramRun run = runSimProgram(log, service, "--script unload.sim", "");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("libtavix-creo.so: not loaded"), std::string::npos) << run.output;
  expectNothingRanAfterTermination(log.text(), 3);
}

}  // namespace
