#include "upload_journey.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "addin/add_in.h"
#include "cloud/cloud_connection.h"
#include "core/testing/test_environment.h"
#include "host/creo_host.h"
#include "sim_model_file.h"

namespace fs = std::filesystem;

UploadJourney::UploadJourney()
    : UploadJourney(std::make_unique<tavixtest::LocalTavixService>(), nullptr, Start::SignedIn) {}

UploadJourney::UploadJourney(tavixtest::LocalTavixService& service, Start start)
    : UploadJourney(nullptr, &service, start) {}

UploadJourney::UploadJourney(std::unique_ptr<tavixtest::LocalTavixService> ownService,
                             tavixtest::LocalTavixService* service, Start start)
    : ownService_(std::move(ownService)),
      service_(service ? *service : *ownService_),
      // The add-in resolves its temporary directory once per process: every
      // journey of this process uses the same one, emptied in between.
      temp_(fs::temp_directory_path() / ("tavix-journeys-" + std::to_string(::getpid()))),
      models_(log_.directory() / "models"),
      creo_(creosim::SimulatorOptions{TAVIX_SOURCE_DIR "/text"}),
      user_(std::make_shared<creosim::ScriptedDialogUser>()) {
  // Start-up removes every "tavix-" folder it finds in the temporary directory:
  // give it one of its own.
  fs::create_directories(temp_);
  fs::create_directories(models_);
  setEnvironmentVariable("TMPDIR", temp_.string().c_str());
  std::ofstream("tavix.properties") << "tavix_creo_login_url=" << service_.baseUrl() << "\n"
                                    << "tavix_creo_server_url=" << service_.baseUrl() << "\n"
                                    << "tavix_creo_client_id=" << tavixtest::kLocalClientId << "\n"
                                    << "tavix_creo_log_level=debug\n";
  creo_.dialogs().setUser(user_);
  setCreoHost(&creo_);
  if (start == Start::Later) return;
  if (this->start() != 0) throw std::runtime_error(log_.text());
  if (start == Start::SignedIn) {
    const nlohmann::json tokens = service_.issueTokens();
    getSessionManager().setTokens(NorvaneLocalAuthTokens{tokens["access_token"], tokens["refresh_token"],
                                                         tokens["id_token"]});
    getSessionManager().setCurrentUser(NorvaneUser{1, tavixtest::kDemoEmail, "Demo Engineer"});
  }
}

int UploadJourney::start() {
  AddInCollaborators collaborators;
  collaborators.makeClient = [this] {
    std::shared_ptr<INorvaneClient> client = makeLibraryClient();
    return wrapClient_ ? wrapClient_(client) : client;
  };
  collaborators.uploadPauses = UploadPauses{[pauses = pauses_] {
                                              if (pauses->beforeTransfer) pauses->beforeTransfer();
                                            },
                                            [pauses = pauses_] {
                                              if (pauses->beforeCompletion) pauses->beforeCompletion();
                                            }};
  // Loading dialogs close at once, as after the first of a Creo session.
  collaborators.firstLoadingDelay = std::chrono::nanoseconds::zero();
  return creo_.startAddin([&](CreoHost* host, int, char*[], char*, char*, wchar_t[80]) {
    setCreoHost(host);
    return startAddIn(collaborators);
  });
}

void UploadJourney::stop() {
  if (stopped_) return;
  stopped_ = true;
  user_terminate();
}

UploadJourney::~UploadJourney() {
  stop();
  creo_.ribbon().releaseCommands();
  setCreoHost(nullptr);
  setEnvironmentVariable("TMPDIR", nullptr);
  std::error_code ignored;
  fs::remove_all(temp_, ignored);
}

fs::path UploadJourney::writeModel(const std::string& fileName, std::uintmax_t bytes) {
  const fs::path path = models_ / fileName;
  creosim::writeModelFile(path, "1711 22345 61234", bytes, std::hash<std::string>()(fileName));
  return path;
}

creosim::SimModelDefinition UploadJourney::localModel(const std::string& name, const std::string& fileName,
                                                      std::uintmax_t bytes) {
  creosim::SimModelDefinition definition;
  definition.name = name;
  definition.file = writeModel(fileName, bytes);
  return definition;
}

void UploadJourney::addCurrentModel(creosim::SimModelDefinition definition) {
  const std::string name = definition.name;
  creo_.models().addModel(std::move(definition));
  creo_.models().setCurrentModel(name);
}

void UploadJourney::chooseWorkspace(const std::string& workspace) {
  user_->select("StartFileUpload", "WorkspaceDropdown", workspace);
  user_->press("StartFileUpload", "UploadButton");
}

void UploadJourney::pressTavixButton() { creo_.ribbon().pressButton("tavixRibbonButton"); }

std::vector<std::string> UploadJourney::storedFiles() {
  std::vector<std::string> files;
  for (const nlohmann::json& file : service_.storedFiles())
    files.push_back(file["name"].get<std::string>() + " " + std::to_string(file["size"].get<int64_t>()) + " v" +
                    file["version"].get<std::string>());
  return files;
}

std::vector<std::string> UploadJourney::leftInTemp() const {
  std::vector<std::string> left;
  for (const auto& entry : fs::recursive_directory_iterator(temp_))
    left.push_back(fs::relative(entry.path(), temp_).string());
  return left;
}

void uploadWithTheLibraryAlone(const std::vector<fs::path>& files) {
  NorvaneUploadPayload payload;
  payload.targetDirectories[2] = 102;  // the root directory of "Gearbox"
  payload.sourceRevisionVersion = "1";
  for (const fs::path& file : files) {
    norvane::NorvaneUploadFile entry;
    entry.name = file.filename().string();
    entry.path = file.string();
    entry.revisionKey = "bench";
    payload.files.push_back(entry);
  }
  const NorvaneUploadResult result = getNorvaneClient()->upload(getSessionManager().getAccessToken(), payload, false);
  if (!result.errors.empty()) throw std::runtime_error("the library's own upload failed");
}
