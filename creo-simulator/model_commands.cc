#include "model_commands.h"

#include <cstdlib>
#include <ostream>
#include <stdexcept>

#include "assembly_generator.h"
#include "creo_simulator.h"
#include "session_description.h"
#include "sim_text.h"

namespace creosim {

namespace {

const std::string& argument(const std::vector<std::string>& args, size_t index, const char* usage) {
  if (args.size() <= index) throw std::runtime_error(std::string("usage: ") + usage);
  return args[index];
}

void session(SimContext& context, const std::vector<std::string>& args) {
  const SessionDescription description = readSessionDescription(pathOf(argument(args, 0, "session <file>")));
  context.simulator.models().load(description);
  context.out << description.models.size() << " models described; current: "
              << (description.currentModel.empty() ? "none" : description.currentModel) << "\n";
}

void generate(SimContext& context, const std::vector<std::string>& args) {
  AssemblyGeneratorOptions options;
  const std::filesystem::path directory = pathOf(argument(args, 0, "generate <directory> [occurrences]"));
  if (args.size() > 1) options.componentOccurrences = std::atoi(args[1].c_str());
  const GeneratedAssembly generated = generateAssembly(options, directory);
  writeSessionDescription(generated.description, directory / "session.json");
  context.simulator.models().load(generated.description);
  context.out << generated.componentOccurrences << " component occurrences over " << generated.distinctFiles
              << " model files; current: root.asm\n";
}

void current(SimContext& context, const std::vector<std::string>& args) {
  context.simulator.models().setCurrentModel(args.empty() ? std::string() : args.front());
  context.out << "current model: " << (args.empty() ? "none" : args.front()) << "\n";
}

void modified(SimContext& context, const std::vector<std::string>& args) {
  const std::string& name = argument(args, 0, "modified <model> [yes|no]");
  const bool value = args.size() < 2 || args[1] == "yes";
  context.simulator.models().setModified(name, value);
  context.out << name << (value ? " has unsaved changes\n" : " is saved\n");
}

void models(SimContext& context, const std::vector<std::string>&) {
  const pfcModels_ptr loaded = context.simulator.models().listModels();
  for (xint i = 0; i < loaded->getarraysize(); ++i) {
    const pfcModel_ptr& model = loaded->get(i);
    context.out << textOf(model->GetFileName()) << "  " << textOf(model->GetOrigin()) << (model->GetIsModified() ? "  (modified)" : "")
                << "\n";
  }
}

}  // namespace

void addModelCommands(CommandTable& table) {
  table.add("session", "session <file>       load models, workspaces and options from a session file", session);
  table.add("generate", "generate <dir> [n]   write a synthetic assembly of n component occurrences and load it",
            generate);
  table.add("current", "current [model]      make a model current (none without a name)", current);
  table.add("modified", "modified <model> [yes|no]  mark a model as changed or saved", modified);
  table.add("models", "models               list the models in session", models);
}

}  // namespace creosim
