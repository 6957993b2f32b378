// The Windows package as an administrator installs it: the windows-x64 build's
// zip unpacked into a folder whose path holds a space, its registration
// template filled in, and Creo (creo-sim.exe under wine) started with it.
// Skipped when that build's package, its simulator or wine is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "wine_program.h"

namespace fs = std::filesystem;

namespace {

using tavixtest::filesUnder;
using tavixtest::readFile;
using tavixtest::shellQuoted;
using tavixtest::WineRun;
using tavixtest::windowsPathOf;

const fs::path kPackage = TAVIX_WINDOWS_PACKAGE;
const fs::path kSimulator = fs::path(TAVIX_WINDOWS_BIN_DIR) / "creo-sim.exe";
const fs::path kVersionReader = fs::path(TAVIX_WINDOWS_BIN_DIR) / "file-version-info.exe";
const std::string kInstallFolderName = fs::path(TAVIX_WINDOWS_PACKAGE).stem().string();

class WindowsPackage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kPackage) || !fs::exists(kSimulator) || !fs::exists(kVersionReader) ||
        tavixtest::wineLoader().empty())
      GTEST_SKIP() << "no package at " << kPackage << ", no " << kSimulator << ", no " << kVersionReader
                   << " or no wine";
    std::random_device random;
    root_ = fs::temp_directory_path() / ("tavix-package-" + std::to_string(random()));
    const fs::path programFiles = root_ / "Program Files";
    fs::create_directories(programFiles);
    const std::string unpack =
        "cd " + shellQuoted(programFiles.string()) + " && " + shellQuoted(TAVIX_CMAKE_COMMAND) + " -E tar xf " +
        shellQuoted(kPackage);
    ASSERT_EQ(std::system(unpack.c_str()), 0) << unpack;
    installFolder_ = programFiles / kInstallFolderName;
  }
  void TearDown() override {
    std::error_code ignored;
    if (!root_.empty()) fs::remove_all(root_, ignored);
  }

  // The template with the install folder filled in, as the guide says, and `edit` applied.
  fs::path writeRegistration(const std::function<void(std::string&)>& edit = {}) const {
    std::string text = readFile(installFolder_ / "creotk.dat.in");
    for (size_t at; (at = text.find("<INSTALL_DIR>")) != std::string::npos;)
      text.replace(at, 13, windowsPathOf(installFolder_));
    if (edit) edit(text);
    const fs::path file = root_ / "creotk.dat";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    return file;
  }

  WineRun runCreo(const fs::path& registration, const std::string& script) const {
    return tavixtest::runCreoSim(kSimulator, registration, root_ / "work", script);
  }

  std::string log() const { return readFile(root_ / "work" / "tavix-integration.log"); }

  fs::path root_;
  fs::path installFolder_;
};

TEST_F(WindowsPackage, HoldsTheAddinItsClientLibraryTheTextFolderTheTemplateAndTheGuide) {
  const fs::path text = fs::path(TAVIX_SOURCE_DIR) / "text";
  std::set<std::string> expected = {"tavix-creo.dll", "norvane.dll", "creotk.dat.in", "INSTALL.txt"};
  for (const std::string& file : filesUnder(text)) expected.insert("text/" + file);
  EXPECT_EQ(filesUnder(installFolder_), expected);
  for (const std::string& file : filesUnder(text))
    EXPECT_EQ(readFile(installFolder_ / "text" / file), readFile(text / file)) << file;

  const std::string guide = readFile(installFolder_ / "INSTALL.txt");
  EXPECT_NE(guide.find(kInstallFolderName + "\\tavix-creo.dll"), std::string::npos);
  EXPECT_EQ(guide.find('@'), std::string::npos) << "a placeholder was left in the guide";
  for (const char* named : {"creotk.dat", "tavix.properties", "tavix-integration.log", "tavix_creo_server",
                            "tavix_creo_log_level", "tavix_creo_retain_temp_files", "fail_tol TRUE", "/S", "/CONFIGPRO=",
                            "/D=", "Uninstall.exe", "TAVIX_SIGNING_CERTIFICATE"})
    EXPECT_NE(guide.find(named), std::string::npos) << named;

  // Nothing to install beside the two DLLs: they import only Windows' own libraries.
  const std::set<std::string> windowsLibraries = {"KERNEL32.dll", "msvcrt.dll", "WINHTTP.dll", "WS2_32.dll",
                                                  "bcrypt.dll"};
  for (const char* library : {"tavix-creo.dll", "norvane.dll"}) {
    FILE* imports = popen(("x86_64-w64-mingw32-objdump -p " + shellQuoted((installFolder_ / library).string()) +
                           " 2>/dev/null | sed -n 's/^\\s*DLL Name: //p'")
                              .c_str(),
                          "r");
    ASSERT_NE(imports, nullptr);
    std::set<std::string> imported;
    char line[256];
    while (std::fgets(line, sizeof line, imports)) imported.insert(std::string(line, std::strcspn(line, "\r\n")));
    pclose(imports);
    if (imported.empty()) GTEST_SKIP() << "no x86_64-w64-mingw32-objdump to read the imports";
    for (const std::string& name : imported) EXPECT_TRUE(windowsLibraries.count(name)) << library << " needs " << name;
  }
}

// What Explorer's Properties page and inventory tools read from each DLL.
TEST_F(WindowsPackage, BothLibrariesNameTheirProductMakerAndVersion) {
  const std::string version = TAVIX_PROJECT_VERSION;
  const std::pair<const char*, const char*> libraries[] = {{"tavix-creo.dll", "Tavix add-in for Creo Parametric"},
                                                           {"norvane.dll", "Tavix cloud client library"}};
  for (const auto& [library, description] : libraries) {
    WineRun read = tavixtest::runUnderWine(kVersionReader, {windowsPathOf(installFolder_ / library)});
    EXPECT_EQ(read.exitCode, 0) << read.output;
    read.output.erase(std::remove(read.output.begin(), read.output.end(), '\r'), read.output.end());
    EXPECT_EQ(read.output, "FileVersionNumber: " + version + ".0\n"
                           "ProductName: Tavix for Creo Parametric\n"
                           "ProductVersion: " + version + "\n"
                           "FileVersion: " + version + "\n"
                           "CompanyName: Tavix\n"
                           "FileDescription: " + description + "\n"
                           "OriginalFilename: " + library + "\n");
  }
}

TEST_F(WindowsPackage, WithTheFilledTemplateCreoStartsTheAddinFromTheInstallFolder) {
  const WineRun run = runCreo(writeRegistration(), "load\nribbon\nmodule norvane.dll\nunload\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("user_initialize returned 0 (started)"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("button -> tavixRibbonButton: \"Upload to Tavix\""), std::string::npos) << run.output;
  // The client library beside the add-in, not one from a search path.
  EXPECT_NE(run.output.find("norvane.dll: " + windowsPathOf(installFolder_ / "norvane.dll")), std::string::npos)
      << run.output;
  EXPECT_NE(log().find("[INFO] [Tavix] Tavix integration initialization complete."), std::string::npos) << log();
  EXPECT_EQ(log().find("[ERROR]"), std::string::npos) << log();
}

TEST_F(WindowsPackage, ARegistrationCreoCannotUseIsRefusedBeforeTheAddinLoads) {
  const std::vector<std::pair<std::function<void(std::string&)>, std::string>> cases = {
      {[](std::string& text) { text.erase(text.rfind("end")); }, "creotk.dat: no \"end\" line"},
      {[](std::string& text) { text.erase(text.find("toolkit object"), 15); },
       "no \"toolkit\" line (required for an Object TOOLKIT C++ application)"},
  };
  for (const auto& [edit, error] : cases) {
    const WineRun run = runCreo(writeRegistration(edit), "load\n");
    EXPECT_NE(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(error), std::string::npos) << error << "\n" << run.output;
  }
  // The template as shipped, its placeholders not filled in.
  const WineRun unfilled = runCreo(installFolder_ / "creotk.dat.in", "load\n");
  EXPECT_NE(unfilled.output.find("exec_file must be a full path: <INSTALL_DIR>\\tavix-creo.dll"), std::string::npos)
      << unfilled.output;
  EXPECT_EQ(log(), "");
}

// norvane.dll left out of the install folder: the add-in does not start. The
// template's fail_tol TRUE lets Creo carry on; with FALSE Creo shuts down.
TEST_F(WindowsPackage, AFailedStartEndsCreoOnlyWithoutFailTolerance) {
  fs::remove(installFolder_ / "norvane.dll");
  const std::string script = "load\nribbon\n";
  const std::string loadFailure = "[ERROR] [Tavix] Failed to load norvane.dll from \"" +
                                  windowsPathOf(installFolder_ / "norvane.dll") + "\": ";

  const WineRun tolerated = runCreo(writeRegistration(), script);
  EXPECT_EQ(tolerated.exitCode, 0) << tolerated.output;
  EXPECT_NE(tolerated.output.find("user_initialize returned 1 (failed to start)"), std::string::npos);
  EXPECT_NE(tolerated.output.find("tavix-creo did not start; Creo carries on without it"), std::string::npos)
      << tolerated.output;
  EXPECT_NE(log().find(loadFailure), std::string::npos) << log();

  const WineRun ended = runCreo(writeRegistration([](std::string& text) {
                              text.replace(text.find("fail_tol TRUE"), 13, "fail_tol FALSE");
                            }),
                            script);
  EXPECT_EQ(ended.exitCode, 1) << ended.output;
  EXPECT_NE(ended.output.find("tavix-creo did not start and its registration has no \"fail_tol TRUE\": Creo shuts down"),
            std::string::npos)
      << ended.output;
}

}  // namespace
