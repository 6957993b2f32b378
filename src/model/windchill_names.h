// Text rules for Windchill origins and model file names, shared by staging,
// validation, metadata and export.
#pragma once

#include <string>

// True for origins beginning with "wtws://" or "wtpub://" (case-sensitive).
bool isWindchillOrigin(const std::string& origin);
// The text after the origin's last "/", cut before the first "|".
std::string localFileNameFromOrigin(const std::string& origin);
// False for a local file name that would not stay inside the directory it is
// joined to: empty, only dots, or holding a path separator or drive colon.
bool isSafeLocalFileName(const std::string& fileName);
// The origin up to and including its last "/"; the whole origin without one.
std::string originFolder(const std::string& origin);
// "inst<gen>.prt" gives "gen.prt"; empty without a generic name in angle brackets.
std::string genericFileNameOf(const std::string& instanceFileName);
// Lower-cased (A-Z), with ".xas" mapped to ".asm" and ".xpr" to ".prt".
std::string normalisedModelFileName(const std::string& fileName);
// Without a trailing version suffix (".<digits>"), lower-cased.
std::string comparableFileName(const std::string& fileName);
// "_windchill_copy_" and the decimal FNV-1a hash of the origin.
std::string windchillCopyDirectoryName(const std::string& origin);
// "first:second", or "first" when second is empty.
std::string makeWindchillScopeKey(const std::string& first, const std::string& second);
// What tells one model file from another: its origin and its file name.
std::string modelFileKey(const std::string& origin, const std::string& fileName);
// The name without one trailing version suffix: "bracket.prt.12" gives "bracket.prt".
std::string withoutVersionSuffix(const std::string& fileName);
