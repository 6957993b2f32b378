#include "addin_library.h"

#include <stdexcept>

#include "creo_simulator.h"

namespace creosim {

AddinLibrary::AddinLibrary(CreoSimulator& simulator, const std::filesystem::path& file) : simulator_(simulator) {
  handle_ = open(file);
  initialize_ = reinterpret_cast<CreoSimulator::AddinStart>(symbol("user_initialize_plus"));
  terminate_ = reinterpret_cast<TerminateFunction>(symbol("user_terminate_plus"));
  if (!initialize_ || !terminate_) {
    close();
    throw std::runtime_error("Not a Creo add-in (no user_initialize_plus/user_terminate_plus): " + file.string());
  }
}

AddinLibrary::~AddinLibrary() {
  if (running_) stop();
  // Whatever the add-in handed the ribbon must go before its code does.
  simulator_.ribbon().releaseCommands();
  close();
}

int AddinLibrary::start() {
  running_ = true;
  return simulator_.startAddin(initialize_);
}

void AddinLibrary::stop() {
  if (!running_) return;
  running_ = false;
  terminate_();
  simulator_.ribbon().releaseCommands();
}

}  // namespace creosim
