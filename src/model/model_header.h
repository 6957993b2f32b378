// The text header at the start of a Creo model file, up to its
// "END_OF_UGC_HEADER" line, where it names the model's unique identifier.
#pragma once

#include <istream>
#include <string>

struct ModelHeaderScan {
  enum class Outcome { Identifier, EndWithoutIdentifier, NoEnd };
  Outcome outcome = Outcome::NoEnd;
  std::string identifier;  // the three words after "UOBJ_ID", joined by single spaces
};

// Reads up to the line that decides, and never more than 1 MiB.
ModelHeaderScan scanModelHeader(std::istream& file);
