// The Windows package as an administrator installs it, under wine: the
// windows-x64 build's zip unpacked into a folder whose path holds a space, its
// registration template filled in; and its installer tavix-creo-<version>-win64.exe
// run silently, each test in a wine prefix of its own (its Windows and
// registry), with an upgrade over an older version made from the same build
// and the uninstaller registered with Windows. Creo is creo-sim.exe, started
// with the registration file. Prints how long the install, upgrade and
// uninstall took, against a program that does nothing started the same way.
// Skipped without that build's package, its simulator or wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "wine_program.h"

namespace fs = std::filesystem;

namespace {

using tavixtest::filesUnder;
using tavixtest::readFile;
using tavixtest::runUnderWine;
using tavixtest::shellQuoted;
using tavixtest::WineRun;
using tavixtest::windowsPathOf;

const std::string kVersion = TAVIX_PROJECT_VERSION;
const fs::path kPackage = TAVIX_WINDOWS_PACKAGE;
const fs::path kInstaller = TAVIX_WINDOWS_INSTALLER;
const fs::path kSimulator = fs::path(TAVIX_WINDOWS_BIN_DIR) / "creo-sim.exe";
const fs::path kVersionReader = fs::path(TAVIX_WINDOWS_BIN_DIR) / "file-version-info.exe";
const fs::path kCPackConfig = fs::path(TAVIX_WINDOWS_BIN_DIR) / ".." / "CPackConfig.cmake";
const fs::path kSourceText = fs::path(TAVIX_SOURCE_DIR) / "text";

void writeFile(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// A folder of its own under the temporary directory, removed with the test.
class Scratch {
 public:
  explicit Scratch(const std::string& name)
      : root_(fs::temp_directory_path() / (name + "-" + std::to_string(std::random_device()()))) {
    fs::create_directories(root_);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  const fs::path& root() const { return root_; }

 private:
  fs::path root_;
};

// Unpacks `zip` into `folder`; whether that worked.
bool unpack(const fs::path& zip, const fs::path& folder) {
  fs::create_directories(folder);
  const std::string command = "cd " + shellQuoted(folder.string()) + " && " + shellQuoted(TAVIX_CMAKE_COMMAND) +
                              " -E tar xf " + shellQuoted(zip.string());
  return std::system(command.c_str()) == 0;
}

// The install folder holds the two DLLs, `others` and the text folder as in the sources.
void expectInstalledFiles(const fs::path& installFolder, std::set<std::string> others) {
  others.insert({"tavix-creo.dll", "norvane.dll"});
  for (const std::string& file : filesUnder(kSourceText)) others.insert("text/" + file);
  EXPECT_EQ(filesUnder(installFolder), others);
  for (const std::string& file : filesUnder(kSourceText))
    EXPECT_EQ(readFile(installFolder / "text" / file), readFile(kSourceText / file)) << file;
}

// Creo, given `registration`, starts the add-in from `installFolder` (as a
// program in the prefix names it) with the client library beside it, not one
// from a search path.
void expectCreoStartsTheAddin(const fs::path& registration, const std::string& installFolder,
                              const fs::path& workFolder, const fs::path& prefix = {}) {
  const WineRun creo = tavixtest::runCreoSim(kSimulator, registration, workFolder,
                                             "load\nribbon\nmodule norvane.dll\nunload\n", prefix);
  EXPECT_EQ(creo.exitCode, 0) << creo.output;
  EXPECT_NE(creo.output.find("user_initialize returned 0 (started)"), std::string::npos) << creo.output;
  EXPECT_NE(creo.output.find("button -> tavixRibbonButton: \"Upload to Tavix\""), std::string::npos) << creo.output;
  EXPECT_NE(creo.output.find("norvane.dll: " + installFolder + "\\norvane.dll"), std::string::npos) << creo.output;
}

class WindowsPackage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kPackage) || !fs::exists(kSimulator) || !fs::exists(kVersionReader) ||
        tavixtest::wineLoader().empty())
      GTEST_SKIP() << "no package at " << kPackage << ", no " << kSimulator << ", no " << kVersionReader
                   << " or no wine";
    ASSERT_TRUE(unpack(kPackage, scratch_.root() / "Program Files"));
    installFolder_ = scratch_.root() / "Program Files" / kPackage.stem();
  }

  // The template with the install folder filled in, as the guide says.
  fs::path writeRegistration() const {
    std::string text = readFile(installFolder_ / "creotk.dat.in");
    for (size_t at; (at = text.find("<INSTALL_DIR>")) != std::string::npos;)
      text.replace(at, 13, windowsPathOf(installFolder_));
    writeFile(scratch_.root() / "creotk.dat", text);
    return scratch_.root() / "creotk.dat";
  }

  WineRun runCreo(const fs::path& registration, const std::string& script) const {
    return tavixtest::runCreoSim(kSimulator, registration, work(), script);
  }
  fs::path work() const { return scratch_.root() / "work"; }
  std::string log() const { return readFile(work() / "tavix-integration.log"); }

  Scratch scratch_{"tavix-package"};
  fs::path installFolder_;
};

TEST_F(WindowsPackage, HoldsTheAddinItsClientLibraryTheTextFolderTheTemplateAndTheGuide) {
  expectInstalledFiles(installFolder_, {"creotk.dat.in", "INSTALL.txt"});
  const std::string guide = readFile(installFolder_ / "INSTALL.txt");
  EXPECT_NE(guide.find(kPackage.stem().string() + "\\tavix-creo.dll"), std::string::npos);
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
  const std::pair<const char*, const char*> libraries[] = {{"tavix-creo.dll", "Tavix add-in for Creo Parametric"},
                                                           {"norvane.dll", "Tavix cloud client library"}};
  for (const auto& [library, description] : libraries) {
    WineRun read = runUnderWine(kVersionReader, {windowsPathOf(installFolder_ / library)});
    EXPECT_EQ(read.exitCode, 0) << read.output;
    read.output.erase(std::remove(read.output.begin(), read.output.end(), '\r'), read.output.end());
    EXPECT_EQ(read.output, "FileVersionNumber: " + kVersion + ".0\n"
                           "ProductName: Tavix for Creo Parametric\n"
                           "ProductVersion: " + kVersion + "\n"
                           "FileVersion: " + kVersion + "\n"
                           "CompanyName: Tavix\n"
                           "FileDescription: " + description + "\n"
                           "OriginalFilename: " + library + "\n");
  }
}

TEST_F(WindowsPackage, WithTheFilledTemplateCreoStartsTheAddinFromTheInstallFolder) {
  expectCreoStartsTheAddin(writeRegistration(), windowsPathOf(installFolder_), work());
  EXPECT_NE(log().find("[INFO] [Tavix] Tavix integration initialization complete."), std::string::npos) << log();
  EXPECT_EQ(log().find("[ERROR]"), std::string::npos) << log();
}

// The template as shipped, its placeholders not filled in, is refused before the add-in loads.
TEST_F(WindowsPackage, TheUnfilledTemplateIsRefusedBeforeTheAddinLoads) {
  const WineRun unfilled = runCreo(installFolder_ / "creotk.dat.in", "load\n");
  EXPECT_NE(unfilled.output.find("exec_file must be a full path: <INSTALL_DIR>\\tavix-creo.dll"), std::string::npos)
      << unfilled.output;
  EXPECT_EQ(log(), "");
}

// norvane.dll left out of the install folder: the add-in does not start, and
// the template's fail_tol TRUE lets Creo carry on.
TEST_F(WindowsPackage, AFailedStartLetsCreoCarryOn) {
  fs::remove(installFolder_ / "norvane.dll");
  const WineRun tolerated = runCreo(writeRegistration(), "load\nribbon\n");
  EXPECT_EQ(tolerated.exitCode, 0) << tolerated.output;
  EXPECT_NE(tolerated.output.find("user_initialize returned 1 (failed to start)"), std::string::npos);
  EXPECT_NE(tolerated.output.find("tavix-creo did not start; Creo carries on without it"), std::string::npos)
      << tolerated.output;
  EXPECT_NE(log().find("[ERROR] [Tavix] Failed to load norvane.dll from \"" +
                       windowsPathOf(installFolder_ / "norvane.dll") + "\": "),
            std::string::npos)
      << log();
}

// Creo (creo-sim.exe) started from an install folder, holding the add-in until destroyed.
class RunningCreo {
 public:
  RunningCreo(const fs::path& registration, const fs::path& workFolder, const fs::path& prefix) {
    fs::create_directories(workFolder);
    const std::string command = tavixtest::wineCommand(kSimulator,
                                                       {"--registration", windowsPathOf(registration), "--workdir",
                                                        windowsPathOf(workFolder), "--interactive"},
                                                       prefix) +
                                " > /dev/null 2>&1";
    creo_ = popen(command.c_str(), "w");
    if (!creo_) return;
    std::fputs("load\n", creo_);
    std::fflush(creo_);
    for (int tries = 0; tries < 600 && !started(workFolder); ++tries)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ~RunningCreo() {
    if (!creo_) return;
    std::fputs("unload\nquit\n", creo_);
    pclose(creo_);
  }
  static bool started(const fs::path& workFolder) {
    return readFile(workFolder / "tavix-integration.log").find("Tavix integration initialization complete.") !=
           std::string::npos;
  }

 private:
  FILE* creo_ = nullptr;
};

class WindowsInstaller : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kInstaller) || !fs::exists(kSimulator) || tavixtest::wineLoader().empty())
      GTEST_SKIP() << "no installer at " << kInstaller << ", no " << kSimulator << " or no wine";
    // The prefix's first start makes its Windows; the second is the floor the figures compare with.
    const WineRun created = runUnderWine("cmd", {"/c", "exit"}, prefix_);
    ASSERT_EQ(created.exitCode, 0) << created.output;
    floorSeconds_ = runUnderWine("cmd", {"/c", "exit"}, prefix_).seconds;
    std::cout << "new wine prefix: " << created.seconds << " s; a program that does nothing: " << floorSeconds_
              << " s" << std::endl;
    windowsFiles_ = filesUnder(prefix_ / "drive_c", tavixtest::WithFolders::kYes);
  }

  WineRun run(const fs::path& program, const std::vector<std::string>& arguments, const char* what,
              tavixtest::WaitFor waitFor = tavixtest::WaitFor::kEveryProgramInPrefix) const {
    WineRun ran = runUnderWine(program, arguments, prefix_, waitFor);
    std::cout << what << ": " << ran.seconds << " s (a program that does nothing: " << floorSeconds_ << " s)"
              << std::endl;
    return ran;
  }

  bool registryHas(const std::string& text) const {
    return readFile(prefix_ / "system.reg").find(text) != std::string::npos;
  }

  // Files and folders the Windows of the prefix holds now and did not before the installer ran.
  std::set<std::string> filesAdded() const {
    std::set<std::string> added;
    for (const std::string& file : filesUnder(prefix_ / "drive_c", tavixtest::WithFolders::kYes))
      if (!windowsFiles_.count(file)) added.insert(file);
    return added;
  }

  // The line the installer adds to config.pro for the install folder `folder`, as Windows names it.
  static std::string configLine(const std::string& folder) {
    return "toolkit_registry_file \"" + folder + "\\creotk.dat\"";
  }

  void expectCreoStartsTheAddinFrom(const fs::path& installFolder, const std::string& folder) const {
    expectCreoStartsTheAddin(installFolder / "creotk.dat", folder, root() / "work", prefix_);
  }

  const fs::path& root() const { return scratch_.root(); }

  Scratch scratch_{"tavix-installer"};
  fs::path prefix_ = root() / "wine";
  double floorSeconds_ = 0;
  std::set<std::string> windowsFiles_;
};

TEST_F(WindowsInstaller, InstallsSilentlyWhereToldNamesItInConfigProAndUninstallsLeavingNothing) {
  const fs::path installFolder = root() / "Program Files" / "Tävix für Créo";
  const fs::path configPro = root() / "Creo config" / "config.pro";
  const std::string siteOptions = "! site options, Größe\r\ndisplay_mode shade\r\nweb_browser_homepage about:blank";
  writeFile(configPro, siteOptions);

  const WineRun install = run(
      kInstaller, {"/S", "/CONFIGPRO=" + windowsPathOf(configPro), "/D=" + windowsPathOf(installFolder)},
      "silent install");
  ASSERT_EQ(install.exitCode, 0) << install.output;

  expectInstalledFiles(installFolder, {"INSTALL.txt", "creotk.dat", "Uninstall.exe"});
  const std::string folder = windowsPathOf(installFolder);
  EXPECT_EQ(readFile(installFolder / "creotk.dat"),
            "name tavix-creo\r\nstartup dll\r\ntoolkit object\r\nfail_tol TRUE\r\nexec_file " + folder +
                "\\tavix-creo.dll\r\ntext_dir " + folder + "\\text\r\nend\r\n");
  EXPECT_EQ(readFile(configPro), siteOptions + "\r\n" + configLine(folder));
  EXPECT_TRUE(registryHas("\\\\Uninstall\\\\tavix-creo]")) << "not in Apps & features";
  EXPECT_TRUE(registryHas("\"DisplayVersion\"=\"" + kVersion + "\""));
  EXPECT_TRUE(registryHas("\"QuietUninstallString\"="));

  expectCreoStartsTheAddinFrom(installFolder, folder);

  const WineRun uninstall = run(installFolder / "Uninstall.exe", {"/S"}, "silent uninstall");
  EXPECT_EQ(uninstall.exitCode, 0) << uninstall.output;
  EXPECT_EQ(readFile(configPro), siteOptions) << "config.pro not as before, byte for byte";
  EXPECT_FALSE(fs::exists(installFolder));
  EXPECT_TRUE(fs::is_empty(root() / "Program Files"));
  EXPECT_FALSE(registryHas("tavix-creo]"));
  EXPECT_FALSE(registryHas("Software\\\\Tavix"));
  // Windows cannot remove a running program: the uninstaller's copy of itself
  // in the temporary folder goes at the next restart.
  for (const std::string& file : filesAdded()) EXPECT_NE(file.find("/Temp/~nsu"), std::string::npos) << file;
  ASSERT_EQ(runUnderWine("wineboot", {"-r"}, prefix_).exitCode, 0);
  EXPECT_EQ(filesAdded(), std::set<std::string>()) << "left in Windows' folders after a restart";
}

TEST_F(WindowsInstaller, AnUpgradeReplacesTheProgramFilesAndKeepsTheAdministratorsProperties) {
  // The older version: this build's package with an older version number.
  const fs::path older = root() / "older" / "tavix-creo-0.9.0-win64.exe";
  const std::string makeOlder = shellQuoted(TAVIX_CPACK_COMMAND) + " --config " +
                                shellQuoted(kCPackConfig.string()) +
                                " -G NSIS -D CPACK_PACKAGE_VERSION=0.9.0 -D CPACK_PACKAGE_FILE_NAME=" +
                                older.stem().string() + " -D CPACK_OUTPUT_FILE_PREFIX=" +
                                shellQuoted(older.parent_path().string()) + " -B " +
                                shellQuoted((root() / "cpack").string()) + " > /dev/null";
  ASSERT_EQ(std::system(makeOlder.c_str()), 0) << makeOlder;

  const fs::path configPro = root() / "config.pro";
  writeFile(configPro, "display_mode shade\n");
  ASSERT_EQ(run(older, {"/S", "/CONFIGPRO=" + windowsPathOf(configPro)}, "silent install (older version)").exitCode,
            0);
  const fs::path installFolder = prefix_ / "drive_c" / "Program Files" / "Tavix" / "Creo";
  const std::string folder = "C:\\Program Files\\Tavix\\Creo";
  ASSERT_TRUE(fs::exists(installFolder / "tavix-creo.dll"));
  EXPECT_TRUE(registryHas("\"DisplayVersion\"=\"0.9.0\""));
  const std::string properties = "# for every seat\r\ntavix_creo_server=us_prod\r\n";
  writeFile(installFolder / "tavix.properties", properties);
  {
    // Windows replaces no DLL that a running Creo holds: the upgrade stops before it changes anything.
    const std::set<std::string> installed = filesUnder(installFolder);
    const RunningCreo creo(installFolder / "creotk.dat", root() / "open-creo", prefix_);
    ASSERT_TRUE(RunningCreo::started(root() / "open-creo"));
    const WineRun stopped =
        run(kInstaller, {"/S"}, "silent upgrade, stopped by a running Creo", tavixtest::WaitFor::kProgram);
    EXPECT_NE(stopped.exitCode, 0);
    EXPECT_EQ(filesUnder(installFolder), installed);
  }
  writeFile(installFolder / "text" / "usascii" / "tavix_msg.txt", "the older version's texts\n");

  const WineRun upgrade = run(kInstaller, {"/S"}, "silent upgrade");
  ASSERT_EQ(upgrade.exitCode, 0) << upgrade.output;
  EXPECT_EQ(readFile(installFolder / "tavix.properties"), properties);
  EXPECT_EQ(readFile(installFolder / "text" / "usascii" / "tavix_msg.txt"),
            readFile(kSourceText / "usascii" / "tavix_msg.txt"));
  EXPECT_TRUE(registryHas("\"DisplayVersion\"=\"" + kVersion + "\""));
  EXPECT_FALSE(registryHas("\"DisplayVersion\"=\"0.9.0\""));
  EXPECT_EQ(readFile(configPro), "display_mode shade\n" + configLine(folder) + "\n");
  expectCreoStartsTheAddinFrom(installFolder, folder);

  const WineRun uninstall = run(installFolder / "Uninstall.exe", {"/S"}, "silent uninstall");
  EXPECT_EQ(uninstall.exitCode, 0) << uninstall.output;
  EXPECT_EQ(filesUnder(installFolder), std::set<std::string>{"tavix.properties"});
  EXPECT_EQ(readFile(configPro), "display_mode shade\n");
  EXPECT_FALSE(registryHas("tavix-creo]"));
}

// Signing with the administrator's certificate, here a throw-away one: given
// in the environment when cpack runs, both DLLs of the zip and the installer
// carry a signature made with it; the build's own packages, made without one, carry none.
TEST(WindowsPackageSigning, SignsBothLibrariesAndTheInstallerOnlyWhenGivenACertificate) {
  if (!fs::exists(kInstaller) || std::system("command -v osslsigncode openssl > /dev/null") != 0)
    GTEST_SKIP() << "no installer at " << kInstaller << ", no osslsigncode or no openssl";
  const Scratch scratch("tavix-signing");
  const fs::path& root = scratch.root();
  const std::string certificate = shellQuoted((root / "certificate.pem").string());
  const auto verify = [&](const fs::path& file) {
    const std::string command =
        "osslsigncode verify -CAfile " + certificate + " -in " + shellQuoted(file.string()) + " > /dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  };
  const std::string makeCertificate =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj '/CN=Throw-away Tavix signer' -keyout " +
      shellQuoted((root / "key.pem").string()) + " -out " + certificate + " > /dev/null 2>&1";
  ASSERT_EQ(std::system(makeCertificate.c_str()), 0);
  const std::string package = "TAVIX_SIGNING_CERTIFICATE=" + certificate + " TAVIX_SIGNING_KEY=" +
                              shellQuoted((root / "key.pem").string()) + " " + shellQuoted(TAVIX_CPACK_COMMAND) +
                              " --config " + shellQuoted(kCPackConfig.string()) +
                              " -G 'ZIP;NSIS' -D CPACK_OUTPUT_FILE_PREFIX=" + shellQuoted((root / "out").string()) +
                              " -B " + shellQuoted((root / "cpack").string()) + " > /dev/null";
  ASSERT_EQ(std::system(package.c_str()), 0) << package;
  const std::string name = kInstaller.stem().string();
  ASSERT_TRUE(unpack(root / "out" / (name + ".zip"), root / "signed"));
  ASSERT_TRUE(unpack(kPackage, root / "unsigned"));

  EXPECT_TRUE(verify(root / "out" / kInstaller.filename()));
  EXPECT_FALSE(verify(kInstaller));
  for (const char* library : {"tavix-creo.dll", "norvane.dll"}) {
    EXPECT_TRUE(verify(root / "signed" / name / library)) << library;
    EXPECT_FALSE(verify(root / "unsigned" / name / library)) << library;
  }
}

}  // namespace
