#include "creo_simulator.h"

#include <typeinfo>

#include "escaped_exception.h"
#include "sim_text.h"

namespace creosim {

CreoSimulator::CreoSimulator(SimulatorOptions options)
    : options_(std::move(options)),
      models_(faults_),
      windows_(faults_),
      ribbon_(faults_, TextFolder(options_.textDirectory)),
      dialogs_(TextFolder(options_.textDirectory), faults_),
      session_(std::make_shared<SimSession>(faults_, models_, windows_, ribbon_, options_.dateCode)) {}

CreoSimulator::~CreoSimulator() = default;

pfcSession_ptr CreoSimulator::currentSession(pfcCreoCompatibility) {
  faults_.check("pfcGetCurrentSessionWithCompatibility");
  return sessionAvailable_ ? session_.get() : nullptr;
}

int CreoSimulator::startAddin(const std::function<std::remove_pointer_t<AddinStart>>& start) {
  char version[] = "9.0.0.0";
  char build[] = "M080";
  char program[] = "creo-sim";
  char* argv[] = {program, nullptr};
  wchar_t errbuf[80] = {};
  int result = 1;
  if (std::optional<std::string> escaped =
          escapedFrom([&] { result = start(this, 1, argv, version, build, errbuf); })) {
    startProblems_.push_back("the add-in let an exception escape from user_initialize_plus: " + *escaped);
    return 1;
  }
  return result;
}

std::vector<std::string> CreoSimulator::problems() const {
  std::vector<std::string> all = startProblems_;
  all.insert(all.end(), ribbon_.problems().begin(), ribbon_.problems().end());
  all.insert(all.end(), dialogs_.problems().begin(), dialogs_.problems().end());
  for (std::string& line : faults_.offThreadCalls()) all.push_back(std::move(line));
  return all;
}

namespace {

// A C toolkit call fails with a code: an injected fault becomes one.
bool faulted(FaultInjector& faults, const std::string& operation) {
  try {
    faults.check(operation);
    return false;
  }
  xcatchbegin
  xcatchcip(e) return true;
  xcatchend
  catch (...) {
    return true;
  }
}

std::optional<pfcModelType> modelTypeOf(ProMdlfileType type) {
  switch (type) {
    case PRO_MDLFILE_ASSEMBLY: return pfcMDL_ASSEMBLY;
    case PRO_MDLFILE_PART: return pfcMDL_PART;
    case PRO_MDLFILE_DRAWING: return pfcMDL_DRAWING;
    default: return std::nullopt;
  }
}

}  // namespace

// A model handle is the simulator's own model object.
ProError CreoSimulator::findModel(const wchar_t* name, ProMdlfileType type, ProMdl* model) {
  if (faulted(faults_, "ProMdlnameInit")) return PRO_TK_GENERAL_ERROR;
  const std::optional<pfcModelType> modelType = modelTypeOf(type);
  if (!modelType) return PRO_TK_BAD_INPUTS;
  SimModelCommon* found = models_.find(asciiLower(textOf(xstring(name))) + extensionOfType(*modelType));
  if (!found) return PRO_TK_E_NOT_FOUND;
  *model = reinterpret_cast<ProMdl>(found);
  return PRO_TK_NO_ERROR;
}

ProError CreoSimulator::isEmbeddedComponent(const ProAsmcomp& component, ProBoolean* isEmbedded) {
  if (faulted(faults_, "ProAsmcompIsEmbedded")) return PRO_TK_GENERAL_ERROR;
  // Component ids count from 1 in the order of the assembly's features.
  const auto& features = reinterpret_cast<SimModelCommon*>(component.owner)->features();
  if (component.id < 1 || static_cast<size_t>(component.id) > features.size()) return PRO_TK_E_NOT_FOUND;
  *isEmbedded = features[static_cast<size_t>(component.id) - 1]->definition().embedded ? PRO_B_TRUE : PRO_B_FALSE;
  return PRO_TK_NO_ERROR;
}

void CreoSimulator::createDialog(xrstring dialogName, xrstring resourceName) {
  faults_.check("uifcCreateDialog");
  dialogs_.createDialog(textOf(dialogName), textOf(resourceName));
}
xint CreoSimulator::activateDialog(xrstring dialogName) {
  faults_.check("uifcActivateDialog");
  return dialogs_.activateDialog(textOf(dialogName));
}
void CreoSimulator::exitDialog(xrstring dialogName, xint status) {
  faults_.check("uifcExitDialog");
  dialogs_.exitDialog(textOf(dialogName), status);
}
void CreoSimulator::destroyDialog(xrstring dialogName) {
  faults_.check("uifcDestroyDialog");
  dialogs_.destroyDialog(textOf(dialogName));
}
uifcDialog_ptr CreoSimulator::findDialog(xrstring dialogName, xrstring componentName) {
  faults_.check("uifcDialogFind");
  return dialogs_.findDialog(textOf(dialogName), textOf(componentName));
}
uifcLabel_ptr CreoSimulator::findLabel(xrstring dialogName, xrstring componentName) {
  faults_.check("uifcLabelFind");
  return dialogs_.findLabel(textOf(dialogName), textOf(componentName));
}
uifcPushButton_ptr CreoSimulator::findPushButton(xrstring dialogName, xrstring componentName) {
  faults_.check("uifcPushButtonFind");
  return dialogs_.findPushButton(textOf(dialogName), textOf(componentName));
}
uifcLayout_ptr CreoSimulator::findLayout(xrstring dialogName, xrstring componentName) {
  faults_.check("uifcLayoutFind");
  return dialogs_.findLayout(textOf(dialogName), textOf(componentName));
}
uifcOptionMenu_ptr CreoSimulator::findOptionMenu(xrstring dialogName, xrstring componentName) {
  faults_.check("uifcOptionMenuFind");
  return dialogs_.findOptionMenu(textOf(dialogName), textOf(componentName));
}

}  // namespace creosim
