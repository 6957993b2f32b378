// The common error box: a message, an optional title and an optional action button.
#pragma once

#include <string>

class GenericErrorDialog {
 public:
  // Empty texts keep the resource's own; returns true when the user pressed
  // the action button. Called on Creo's UI thread. Catches everything.
  static bool showDialog(const std::string& message, const std::string& title, const std::string& buttonText,
                         bool showButton);
};
