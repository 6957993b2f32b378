#include "picture_commands.h"

#include <cmath>
#include <iomanip>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "creo_simulator.h"
#include "dialog_picture.h"

namespace creosim {

namespace {

namespace fs = std::filesystem;

void reportPicture(std::ostream& out, const fs::path& stem, const DialogLayout& layout) {
  out << "picture " << stem.string() << ".png (" << std::lround(layout.size.width) << "x"
      << std::lround(layout.size.height) << ", and .svg): " << layout.dialog << "\n";
}

// picture FOLDER | FILE.png: the dialogs on screen now, one file each, named
// after the dialog; a file name takes the only dialog on screen.
void picture(SimContext& context, const std::vector<std::string>& args) {
  if (args.size() != 1) throw std::invalid_argument("usage: picture FOLDER | FILE.png");
  DialogSystem& dialogs = context.simulator.dialogs();
  const std::vector<std::string> open = dialogs.openDialogs();
  if (open.empty()) throw std::runtime_error("no dialog is on screen");
  const fs::path target = args[0];
  std::vector<std::pair<std::string, fs::path>> pictures;
  if (target.extension() == ".png") {
    if (open.size() != 1)
      throw std::runtime_error(std::to_string(open.size()) + " dialogs are on screen; name a folder for them");
    if (target.has_parent_path()) fs::create_directories(target.parent_path());
    pictures.emplace_back(open[0], fs::path(target).replace_extension());
  } else {
    fs::create_directories(target);
    for (const std::string& dialog : open) pictures.emplace_back(dialog, target / dialog);
  }
  for (const auto& [dialog, stem] : pictures)
    reportPicture(context.out, stem, drawDialogPicture(*dialogs.view(dialog), dialogs.textFolder(), stem));
}

// pictures FOLDER: from now on, each state a dialog shows is drawn as it
// appears, numbered in order ("03-StartFileUpload.png"). A picture that cannot
// be drawn is reported and the dialog goes on.
void pictures(SimContext& context, const std::vector<std::string>& args) {
  if (args.size() != 1) throw std::invalid_argument("usage: pictures FOLDER");
  const fs::path folder = fs::absolute(args[0]);
  fs::create_directories(folder);
  const TextFolder text = context.simulator.dialogs().textFolder();
  std::ostream& out = context.out;
  auto taken = std::make_shared<int>(0);
  context.simulator.dialogs().watchScreen([folder, text, &out, taken](const DialogView& view) {
    std::ostringstream name;
    name << std::setw(2) << std::setfill('0') << ++*taken << "-" << view.dialog;
    try {
      reportPicture(out, folder / name.str(), drawDialogPicture(view, text, folder / name.str()));
    } catch (const std::exception& error) {
      out << "no picture of " << view.dialog << ": " << error.what() << "\n";
    }
  });
  out << "pictures of the dialogs go to " << folder.string() << "\n";
}

}  // namespace

void addPictureCommands(CommandTable& table) {
  table.add("picture",
            "picture FOLDER | FILE.png  draw the dialogs on screen now as PNG and SVG, one file each\n"
            "                     (a file name takes the only dialog on screen)",
            picture);
  table.add("pictures",
            "pictures FOLDER      from now on, draw each state a dialog shows as it appears (PNG and SVG,\n"
            "                     numbered in order: 01-Loading.png, 02-Start.png, ...)",
            pictures);
}

}  // namespace creosim
