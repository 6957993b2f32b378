// The installer's helper, run from its temporary folder: writes the
// registration file with the install folder filled in, and adds or removes the
// config.pro line that names it. Texts are written as UTF-8, as Creo reads them.
//
//   tavix-setup registration TEMPLATE INSTALL_DIR OUTPUT
//   tavix-setup add-config-line CONFIG_PRO REGISTRATION_FILE
//   tavix-setup remove-config-line CONFIG_PRO REGISTRATION_FILE
//
// Exit code 0 when done, 1 (and the reason on stderr) when not.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "config_pro_line.h"
#include "core/text_encoding.h"

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + pathToUtf8(file));
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Written beside the target and put in its place, so that a failure leaves the
// old file whole; an existing file keeps its attributes and permissions.
void replaceFile(const fs::path& file, const std::string& text) {
  fs::path temporary = file;
  temporary += L".tavix-setup";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!(out << text) || !out.flush()) throw std::runtime_error("cannot write " + pathToUtf8(temporary));
  }
  const bool replaced = fs::exists(file) ? ReplaceFileW(file.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr)
                                         : MoveFileExW(temporary.c_str(), file.c_str(), 0);
  if (!replaced) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw std::runtime_error("cannot replace " + pathToUtf8(file) + " (error " + std::to_string(GetLastError()) + ")");
  }
}

std::string filledRegistration(std::string text, const std::string& installDir) {
  const std::string placeholder = "<INSTALL_DIR>";
  for (size_t at; (at = text.find(placeholder)) != std::string::npos;) text.replace(at, placeholder.size(), installDir);
  std::string crlf;
  for (char c : text) {
    if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
    crlf += c;
  }
  return crlf;
}

// `file`, `argument` and `output` as the usage below names them for each command.
int run(const std::wstring& command, const fs::path& file, const fs::path& argument, const wchar_t* output) {
  if (command == L"registration" && output) {
    replaceFile(output, filledRegistration(readAll(file), pathToUtf8(argument)));
    return 0;
  }
  const std::string line = tavixsetup::registryFileLine(pathToUtf8(argument));
  if (command == L"add-config-line" && !output) {
    const bool exists = fs::exists(file);
    const std::string config = exists ? readAll(file) : std::string();
    const std::string added = tavixsetup::withConfigLine(config, line);
    if (added != config || !exists) replaceFile(file, added);
    return 0;
  }
  if (command == L"remove-config-line" && !output) {
    if (!fs::exists(file)) return 0;
    const std::string config = readAll(file);
    const std::string removed = tavixsetup::withoutConfigLine(config, line);
    if (removed != config) replaceFile(file, removed);
    return 0;
  }
  std::fputs("usage: tavix-setup registration TEMPLATE INSTALL_DIR OUTPUT\n"
             "       tavix-setup add-config-line|remove-config-line CONFIG_PRO REGISTRATION_FILE\n",
             stderr);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 && argc != 5) return run(L"", {}, {}, nullptr);
  try {
    return run(argv[1], argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tavix-setup: %s\n", error.what());
    return 1;
  }
}
