#include "upload/model_size_text.h"

#include <locale>
#include <sstream>

std::string modelSizeText(double fileSizeMb, std::optional<int> componentCount) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  if (fileSizeMb <= 0) {
    text << "undefined";
  } else {
    text.setf(std::ios::fixed);
    text.precision(2);
    text << fileSizeMb << " MB";
  }
  if (componentCount) text << " (" << *componentCount << " components)";
  return text.str();
}
