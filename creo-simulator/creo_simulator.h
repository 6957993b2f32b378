// One simulated Creo process: its session, windows, dialogs and ribbon, the
// folder it reads the add-in's resources from, and the fault injector. It is the
// CreoHost handed to the add-in.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "dialog_system.h"
#include "fault_injector.h"
#include "host/creo_host.h"
#include "model_store.h"
#include "ribbon.h"
#include "sim_session.h"
#include "window_system.h"

namespace creosim {

struct SimulatorOptions {
  std::filesystem::path textDirectory;  // the add-in's text folder (text_dir), holding "usascii"
  std::string dateCode = "M080";
};

class CreoSimulator : public CreoHost {
 public:
  explicit CreoSimulator(SimulatorOptions options);
  ~CreoSimulator() override;

  FaultInjector& faults() { return faults_; }
  ModelStore& models() { return models_; }
  WindowSystem& windows() { return windows_; }
  Ribbon& ribbon() { return ribbon_; }
  DialogSystem& dialogs() { return dialogs_; }
  const SimulatorOptions& options() const { return options_; }
  // False simulates a process without a session.
  void setSessionAvailable(bool available) { sessionAvailable_ = available; }

  using AddinStart = int (*)(CreoHost* host, int argc, char* argv[], char* version, char* build, wchar_t errbuf[80]);
  // Runs the add-in's user_initialize_plus as Creo does. What escapes it is
  // recorded in problems() and counts as a failed start (1).
  int startAddin(const std::function<std::remove_pointer_t<AddinStart>>& start);
  // What went wrong on the host's side: exceptions that escaped the start-up,
  // a ribbon action or a listener, malformed resources, unanswered waits,
  // toolkit calls from threads other than the user-interface thread.
  std::vector<std::string> problems() const;

  pfcSession_ptr currentSession(pfcCreoCompatibility compatibility) override;
  ProError findModel(const wchar_t* name, ProMdlfileType type, ProMdl* model) override;
  ProError isEmbeddedComponent(const ProAsmcomp& component, ProBoolean* isEmbedded) override;
  void createDialog(xrstring dialogName, xrstring resourceName) override;
  xint activateDialog(xrstring dialogName) override;
  void exitDialog(xrstring dialogName, xint status) override;
  void destroyDialog(xrstring dialogName) override;
  uifcDialog_ptr findDialog(xrstring dialogName, xrstring componentName) override;
  uifcLabel_ptr findLabel(xrstring dialogName, xrstring componentName) override;
  uifcPushButton_ptr findPushButton(xrstring dialogName, xrstring componentName) override;
  uifcLayout_ptr findLayout(xrstring dialogName, xrstring componentName) override;
  uifcOptionMenu_ptr findOptionMenu(xrstring dialogName, xrstring componentName) override;

 private:
  SimulatorOptions options_;
  FaultInjector faults_;
  ModelStore models_;
  WindowSystem windows_;
  Ribbon ribbon_;
  DialogSystem dialogs_;
  std::shared_ptr<SimSession> session_;
  bool sessionAvailable_ = true;
  std::vector<std::string> startProblems_;
};

}  // namespace creosim
