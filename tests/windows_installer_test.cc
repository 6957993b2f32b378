// The Windows installer as a deployment tool runs it: the windows-x64 build's
// tavix-creo-<version>-win64.exe run silently under wine, each test in a wine
// prefix of its own (its Windows and registry), Creo (creo-sim.exe) started
// with the registration file it wrote, an upgrade over an older version made
// from the same build, and the uninstaller registered with Windows.
// Prints how long the install, upgrade and uninstall took, against a program
// that does nothing started the same way. Skipped without that build's
// installer, its simulator or wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <thread>
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
const fs::path kInstaller = TAVIX_WINDOWS_INSTALLER;
const fs::path kSimulator = fs::path(TAVIX_WINDOWS_BIN_DIR) / "creo-sim.exe";
const fs::path kCPackConfig = fs::path(TAVIX_WINDOWS_BIN_DIR) / ".." / "CPackConfig.cmake";
const fs::path kSourceText = fs::path(TAVIX_SOURCE_DIR) / "text";


void writeFile(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
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
    std::random_device random;
    root_ = fs::temp_directory_path() / ("tavix-installer-" + std::to_string(random()));
    prefix_ = root_ / "wine";
    fs::create_directories(root_);
    // The prefix's first start makes its Windows; the second is the floor the figures compare with.
    const WineRun created = runUnderWine("cmd", {"/c", "exit"}, prefix_);
    ASSERT_EQ(created.exitCode, 0) << created.output;
    floorSeconds_ = runUnderWine("cmd", {"/c", "exit"}, prefix_).seconds;
    std::cout << "new wine prefix: " << created.seconds << " s; a program that does nothing: " << floorSeconds_
              << " s" << std::endl;
    windowsFiles_ = filesUnder(prefix_ / "drive_c", tavixtest::WithFolders::kYes);
  }
  void TearDown() override {
    std::error_code ignored;
    if (!root_.empty()) fs::remove_all(root_, ignored);
  }

  WineRun run(const fs::path& program, const std::vector<std::string>& arguments, const char* what,
              tavixtest::WaitFor waitFor = tavixtest::WaitFor::kEveryProgramInPrefix) const {
    WineRun ran = runUnderWine(program, arguments, prefix_, waitFor);
    std::cout << what << ": " << ran.seconds << " s (a program that does nothing: " << floorSeconds_ << " s)"
              << std::endl;
    return ran;
  }

  std::string registry() const { return readFile(prefix_ / "system.reg"); }
  bool registryHas(const std::string& text) const { return registry().find(text) != std::string::npos; }

  fs::path programFiles() const { return prefix_ / "drive_c" / "Program Files"; }

  // A path as programs in the prefix see it: its drive_c is C:, the Linux root Z:.
  std::string windowsPath(const fs::path& path) const {
    const fs::path relative = path.lexically_relative(prefix_ / "drive_c");
    if (relative.empty() || *relative.begin() == "..") return windowsPathOf(path);
    std::string text = "C:\\" + relative.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
  }

  // Files and folders the Windows of the prefix holds now and did not before the installer ran.
  std::set<std::string> filesAdded() const {
    std::set<std::string> added;
    for (const std::string& file : filesUnder(prefix_ / "drive_c", tavixtest::WithFolders::kYes))
      if (!windowsFiles_.count(file)) added.insert(file);
    return added;
  }

  std::string configLine(const fs::path& installFolder) const {
    return "toolkit_registry_file \"" + windowsPath(installFolder / "creotk.dat") + "\"";
  }

  void expectCreoStartsTheAddinFrom(const fs::path& installFolder) const {
    const WineRun creo = tavixtest::runCreoSim(kSimulator, installFolder / "creotk.dat", root_ / "work",
                                               "load\nribbon\nmodule norvane.dll\nunload\n", prefix_);
    EXPECT_EQ(creo.exitCode, 0) << creo.output;
    EXPECT_NE(creo.output.find("user_initialize returned 0 (started)"), std::string::npos) << creo.output;
    EXPECT_NE(creo.output.find("button -> tavixRibbonButton: \"Upload to Tavix\""), std::string::npos)
        << creo.output;
    EXPECT_NE(creo.output.find("norvane.dll: " + windowsPath(installFolder / "norvane.dll")), std::string::npos)
        << creo.output;
  }

  fs::path root_;
  fs::path prefix_;
  double floorSeconds_ = 0;
  std::set<std::string> windowsFiles_;
};

TEST_F(WindowsInstaller, InstallsSilentlyWhereToldNamesItInConfigProAndUninstallsLeavingNothing) {
  const fs::path installFolder = root_ / "Program Files" / "Tävix für Créo";
  const fs::path configPro = root_ / "Creo config" / "config.pro";
  const std::string siteOptions = "! site options, Größe\r\ndisplay_mode shade\r\nweb_browser_homepage about:blank";
  writeFile(configPro, siteOptions);

  const WineRun install = run(
      kInstaller, {"/S", "/CONFIGPRO=" + windowsPathOf(configPro), "/D=" + windowsPathOf(installFolder)},
      "silent install");
  ASSERT_EQ(install.exitCode, 0) << install.output;

  std::set<std::string> expected = {"tavix-creo.dll", "norvane.dll", "INSTALL.txt", "creotk.dat", "Uninstall.exe"};
  for (const std::string& file : filesUnder(kSourceText)) expected.insert("text/" + file);
  EXPECT_EQ(filesUnder(installFolder), expected);
  for (const std::string& file : filesUnder(kSourceText))
    EXPECT_EQ(readFile(installFolder / "text" / file), readFile(kSourceText / file)) << file;
  const std::string folder = windowsPath(installFolder);
  EXPECT_EQ(readFile(installFolder / "creotk.dat"),
            "name tavix-creo\r\nstartup dll\r\ntoolkit object\r\nfail_tol TRUE\r\nexec_file " + folder +
                "\\tavix-creo.dll\r\ntext_dir " + folder + "\\text\r\nend\r\n");
  EXPECT_EQ(readFile(configPro), siteOptions + "\r\n" + configLine(installFolder));
  EXPECT_TRUE(registryHas("\\\\Uninstall\\\\tavix-creo]")) << "not in Apps & features";
  EXPECT_TRUE(registryHas("\"DisplayVersion\"=\"" + kVersion + "\""));
  EXPECT_TRUE(registryHas("\"QuietUninstallString\"="));

  expectCreoStartsTheAddinFrom(installFolder);

  const WineRun uninstall = run(installFolder / "Uninstall.exe", {"/S"}, "silent uninstall");
  EXPECT_EQ(uninstall.exitCode, 0) << uninstall.output;
  EXPECT_EQ(readFile(configPro), siteOptions) << "config.pro not as before, byte for byte";
  EXPECT_FALSE(fs::exists(installFolder));
  EXPECT_TRUE(fs::is_empty(root_ / "Program Files"));
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
  const fs::path older = root_ / "older" / "tavix-creo-0.9.0-win64.exe";
  const std::string makeOlder = shellQuoted(TAVIX_CPACK_COMMAND) + " --config " +
                                shellQuoted(kCPackConfig.string()) +
                                " -G NSIS -D CPACK_PACKAGE_VERSION=0.9.0 -D CPACK_PACKAGE_FILE_NAME=" +
                                older.stem().string() + " -D CPACK_OUTPUT_FILE_PREFIX=" +
                                shellQuoted(older.parent_path().string()) + " -B " +
                                shellQuoted((root_ / "cpack").string()) + " > /dev/null";
  ASSERT_EQ(std::system(makeOlder.c_str()), 0) << makeOlder;

  const fs::path configPro = root_ / "config.pro";
  writeFile(configPro, "display_mode shade\n");
  ASSERT_EQ(run(older, {"/S", "/CONFIGPRO=" + windowsPathOf(configPro)}, "silent install (older version)").exitCode,
            0);
  const fs::path installFolder = programFiles() / "Tavix" / "Creo";
  ASSERT_TRUE(fs::exists(installFolder / "tavix-creo.dll"));
  EXPECT_TRUE(registryHas("\"DisplayVersion\"=\"0.9.0\""));
  const std::string properties = "# for every seat\r\ntavix_creo_server=us_prod\r\n";
  writeFile(installFolder / "tavix.properties", properties);
  {
    // Windows replaces no DLL that a running Creo holds: the upgrade stops before it changes anything.
    const std::set<std::string> installed = filesUnder(installFolder);
    const RunningCreo creo(installFolder / "creotk.dat", root_ / "open-creo", prefix_);
    ASSERT_TRUE(RunningCreo::started(root_ / "open-creo"));
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
  EXPECT_EQ(readFile(configPro), "display_mode shade\n" + configLine(installFolder) + "\n");
  expectCreoStartsTheAddinFrom(installFolder);

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
  std::random_device random;
  const fs::path root = fs::temp_directory_path() / ("tavix-signing-" + std::to_string(random()));
  fs::create_directories(root);
  const auto verify = [&](const fs::path& file) {
    const std::string command = "osslsigncode verify -CAfile " + shellQuoted((root / "certificate.pem").string()) +
                                " -in " + shellQuoted(file.string()) + " > /dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  };
  const std::string makeCertificate =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj '/CN=Throw-away Tavix signer' -keyout " +
      shellQuoted((root / "key.pem").string()) + " -out " + shellQuoted((root / "certificate.pem").string()) +
      " > /dev/null 2>&1";
  ASSERT_EQ(std::system(makeCertificate.c_str()), 0);
  const std::string package = "TAVIX_SIGNING_CERTIFICATE=" + shellQuoted((root / "certificate.pem").string()) +
                              " TAVIX_SIGNING_KEY=" + shellQuoted((root / "key.pem").string()) + " " +
                              shellQuoted(TAVIX_CPACK_COMMAND) + " --config " + shellQuoted(kCPackConfig.string()) +
                              " -G 'ZIP;NSIS' -D CPACK_OUTPUT_FILE_PREFIX=" + shellQuoted((root / "out").string()) +
                              " -B " + shellQuoted((root / "cpack").string()) + " > /dev/null";
  ASSERT_EQ(std::system(package.c_str()), 0) << package;
  const std::string name = kInstaller.stem().string();
  const auto unpack = [&](const fs::path& zip, const fs::path& into) {
    fs::create_directories(into);
    const std::string command = "cd " + shellQuoted(into.string()) + " && " + shellQuoted(TAVIX_CMAKE_COMMAND) +
                                " -E tar xf " + shellQuoted(zip.string());
    return std::system(command.c_str()) == 0;
  };
  ASSERT_TRUE(unpack(root / "out" / (name + ".zip"), root / "signed"));
  ASSERT_TRUE(unpack(kInstaller.parent_path() / (name + ".zip"), root / "unsigned"));

  EXPECT_TRUE(verify(root / "out" / kInstaller.filename()));
  EXPECT_FALSE(verify(kInstaller));
  for (const char* library : {"tavix-creo.dll", "norvane.dll"}) {
    EXPECT_TRUE(verify(root / "signed" / name / library)) << library;
    EXPECT_FALSE(verify(root / "unsigned" / name / library)) << library;
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

}  // namespace
