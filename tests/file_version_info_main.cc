// file-version-info FILE: prints the version resource of a Windows file the way
// Explorer's Properties page reads it, one "Name: value" line per entry.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: file-version-info FILE\n", stderr);
    return 2;
  }
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
  std::vector<char> block(size);
  if (size == 0 || !GetFileVersionInfoW(argv[1], 0, size, block.data())) {
    std::fprintf(stderr, "no version information (error %lu)\n", GetLastError());
    return 1;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
    std::printf("FileVersionNumber: %d.%d.%d.%d\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
  for (const wchar_t* name : {L"ProductName", L"ProductVersion", L"FileVersion", L"CompanyName", L"FileDescription",
                              L"OriginalFilename"}) {
    wchar_t* value = nullptr;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value)
      std::printf("%ls: %ls\n", name, value);
  }
  return 0;
}
