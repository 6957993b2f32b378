// tavix-service: a local Tavix service on 127.0.0.1 for the demo and for tests.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <thread>

#include "service.h"

namespace {

const char* const kUsage =
    "usage: tavix-service --data-dir DIR [--port N] [--seed seed.json] [--port-file FILE]\n"
    "                     [--code-lifetime SECONDS] [--announcement-limit BYTES] [--exit-with-stdin]\n"
    "Serves the Tavix sign-in, API and pages on http://127.0.0.1:N/ (N=0 or absent: any free port).\n"
    "Without --seed, a demo user engineer@example.com / creo-demo and two workspaces are created.\n";

struct Arguments {
  int port = 0;
  std::filesystem::path dataDir;
  std::filesystem::path seedFile;
  std::filesystem::path portFile;
  int codeLifetimeSeconds = 60;
  int64_t announcementLimit = tavixservice::kDefaultAnnouncementLimit;
  bool exitWithStdin = false;
};

Arguments parseArguments(int argc, char** argv) {
  Arguments arguments;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--help" || option == "-h") {
      std::cout << kUsage;
      std::exit(0);
    }
    if (option == "--exit-with-stdin") {
      arguments.exitWithStdin = true;
      continue;
    }
    if (i + 1 >= argc) throw std::runtime_error(option + " needs a value");
    std::string value = argv[++i];
    if (option == "--port") arguments.port = std::stoi(value);
    else if (option == "--data-dir") arguments.dataDir = value;
    else if (option == "--seed") arguments.seedFile = value;
    else if (option == "--port-file") arguments.portFile = value;
    else if (option == "--code-lifetime") arguments.codeLifetimeSeconds = std::stoi(value);
    else if (option == "--announcement-limit") arguments.announcementLimit = std::stoll(value);
    else throw std::runtime_error("unknown option " + option);
  }
  if (arguments.dataDir.empty()) throw std::runtime_error("--data-dir is required");
  if (arguments.port < 0 || arguments.port > 65535) throw std::runtime_error("--port must be 0 to 65535");
  if (arguments.announcementLimit < 1) throw std::runtime_error("--announcement-limit must be 1 or more");
  return arguments;
}

tavixservice::Seed readSeed(const std::filesystem::path& file) {
  if (file.empty()) return tavixservice::demoSeed();
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot read the seed file " + file.string());
  return tavixservice::parseSeed(nlohmann::json::parse(in));
}

// Written under a temporary name and renamed, so a reader never sees half a number.
void writePortFile(const std::filesystem::path& file, int port) {
  std::filesystem::path temporary = file;
  temporary += ".tmp";
  std::ofstream(temporary) << port << "\n";
  std::filesystem::rename(temporary, file);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    Arguments arguments = parseArguments(argc, argv);
    tavixservice::ServiceConfig config;
    config.dataDir = arguments.dataDir;
    config.seed = readSeed(arguments.seedFile);
    config.codeLifetime = std::chrono::seconds(arguments.codeLifetimeSeconds);
    config.maxAnnouncementBytes = arguments.announcementLimit;

    // SIGINT and SIGTERM stop the server cleanly; block them before any thread starts.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    tavixservice::Service service(config);
    int port = service.bind(arguments.port);
    std::thread stopper([&] {
      int signal = 0;
      sigwait(&stopSignals, &signal);
      service.stop();
    });
    if (arguments.exitWithStdin) {
      // The process that started us holds the other end: when it dies, even by a
      // crash, the pipe closes and the service stops instead of lingering.
      std::thread([] {
        char ignored[256];
        while (read(STDIN_FILENO, ignored, sizeof ignored) > 0) {
        }
        kill(getpid(), SIGTERM);
      }).detach();
    }
    // Printed before the port file appears, so whoever waits for the port finds it.
    std::printf("Test control secret: %s\n", service.controlSecret().c_str());
    std::fflush(stdout);
    if (!arguments.portFile.empty()) writePortFile(arguments.portFile, port);
    std::printf("Tavix service listening on %s\n", service.baseUrl().c_str());
    std::fflush(stdout);
    service.run();
    stopper.join();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavix-service: %s\n%s", e.what(), kUsage);
    return 1;
  }
}
