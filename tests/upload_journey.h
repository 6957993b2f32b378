// For end-to-end upload tests and the upload benchmark: a local Tavix service,
// the simulated Creo with the add-in started in it and a signed-in session,
// models over real files, and a scripted user at the dialogs.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cloud/norvane_client.h"
#include "core/testing/log_capture.h"
#include "creo_simulator.h"
#include "local_service.h"
#include "scripted_dialog_user.h"
#include "upload/upload_transfer.h"

// The floor the benchmarks compare an upload with: `files` sent by the client
// library alone, with the journey's signed-in session, into "Gearbox".
// Throws std::runtime_error when the service reports errors.
void uploadWithTheLibraryAlone(const std::vector<std::filesystem::path>& files);

class UploadJourney {
 public:
  enum class Start { SignedIn, SignedOut, Later };
  // With its own service, started and signed in.
  UploadJourney();
  // Against a service that outlives the journey. SignedIn: the session holds
  // tokens the service issued for the demo user. Later: start() is left to the caller.
  UploadJourney(tavixtest::LocalTavixService& service, Start start);
  ~UploadJourney();

  // Creo starts the add-in (user_initialize_plus) with the journey's
  // collaborators; its result.
  int start();
  // Creo stops the add-in (user_terminate) before the journey ends.
  void stop();

  // The pauses of every upload from now on (none by default).
  void setPauses(UploadPauses pauses) { *pauses_ = std::move(pauses); }
  // What the add-in's client is made of, before the press that first needs it.
  using ClientWrapper = std::function<std::shared_ptr<INorvaneClient>(std::shared_ptr<INorvaneClient>)>;
  void wrapClient(ClientWrapper wrap) { wrapClient_ = std::move(wrap); }

  creosim::CreoSimulator& creo() { return creo_; }
  creosim::ScriptedDialogUser& user() { return *user_; }
  tavixtest::LocalTavixService& service() { return service_; }

  // A model file of `bytes` bytes in the user's folder "models".
  std::filesystem::path writeModel(const std::string& fileName, std::uintmax_t bytes = 4096);
  // A model over a new such file.
  creosim::SimModelDefinition localModel(const std::string& name, const std::string& fileName, std::uintmax_t bytes);
  // A local model over that file, made current.
  void addCurrentModel(creosim::SimModelDefinition definition);

  // Chooses the workspace in the upload dialog and presses Upload; the
  // progress dialog then runs to its end.
  void chooseWorkspace(const std::string& workspace);
  void pressTavixButton();

  // The log's messages without timestamps.
  std::vector<std::string> messages() const { return log_.messages(); }
  std::string logText() const { return log_.text(); }
  bool logged(const std::string& text) const { return log_.text().find(text) != std::string::npos; }
  // What the service stored: "name size version", oldest first.
  std::vector<std::string> storedFiles();
  // Every file left under the temporary directory the add-in uses.
  std::vector<std::string> leftInTemp() const;
  std::filesystem::path models() const { return models_; }

 private:
  UploadJourney(std::unique_ptr<tavixtest::LocalTavixService> ownService, tavixtest::LocalTavixService* service,
                Start start);

  LogCapture log_;
  std::unique_ptr<tavixtest::LocalTavixService> ownService_;
  tavixtest::LocalTavixService& service_;
  std::filesystem::path temp_;
  std::filesystem::path models_;
  creosim::CreoSimulator creo_;
  std::shared_ptr<creosim::ScriptedDialogUser> user_;
  // Shared with the transfer threads, which may outlive a test's pause set-up.
  std::shared_ptr<UploadPauses> pauses_ = std::make_shared<UploadPauses>();
  ClientWrapper wrapClient_;
  bool stopped_ = false;
};
