#include "sim_model.h"

#include <cerrno>
#include <fstream>
#include <memory>
#include <string_view>

#include "drawing_pdf.h"
#include "fault_injector.h"
#include "host/pfc_session.h"
#include "model_store.h"
#include "sim_model_file.h"
#include "sim_text.h"
#include "thrown_toolkit_errors.h"

namespace fs = std::filesystem;

namespace creosim {

std::string extensionOfType(pfcModelType type) {
  switch (type) {
    case pfcMDL_ASSEMBLY: return ".asm";
    case pfcMDL_PART: return ".prt";
    case pfcMDL_DRAWING: return ".drw";
    default: return std::string(".").append(std::to_string(static_cast<int>(type)));
  }
}

std::optional<pfcModelType> typeOfExtension(const std::string& extension) {
  std::string lowered = asciiLower(extension);
  if (lowered == ".asm") return pfcMDL_ASSEMBLY;
  if (lowered == ".prt") return pfcMDL_PART;
  if (lowered == ".drw") return pfcMDL_DRAWING;
  return std::nullopt;
}

namespace {

// Operation names, made once: a large assembly asks for them many thousand times.
const std::string kpfcBaseParameter_GetValue = "pfcBaseParameter::GetValue";
const std::string kpfcFamilyTableRow_GetInstanceName = "pfcFamilyTableRow::GetInstanceName";
const std::string kpfcParamValue_Getdiscr = "pfcParamValue::Getdiscr";
const std::string kpfcParamValue_GetStringValue = "pfcParamValue::GetStringValue";
const std::string kpfcComponentFeat_GetModelDescr = "pfcComponentFeat::GetModelDescr";
const std::string kpfcFamilyMember_GetImmediateGenericInfo = "pfcFamilyMember::GetImmediateGenericInfo";
const std::string kpfcFamilyMember_GetParent = "pfcFamilyMember::GetParent";
const std::string kpfcFamilyMember_ListRows = "pfcFamilyMember::ListRows";
const std::string kpfcFeature_GetFeatType = "pfcFeature::GetFeatType";
const std::string kpfcFeature_GetId = "pfcFeature::GetId";
const std::string kpfcFeature_GetStatus = "pfcFeature::GetStatus";
const std::string kpfcModel_Backup = "pfcModel::Backup";
const std::string kpfcModel_Export = "pfcModel::Export";
const std::string kpfcModel_GetDescr = "pfcModel::GetDescr";
const std::string kpfcModel_GetFileName = "pfcModel::GetFileName";
const std::string kpfcModel_GetInstanceName = "pfcModel::GetInstanceName";
const std::string kpfcModel_GetIsModified = "pfcModel::GetIsModified";
const std::string kpfcModel_GetOrigin = "pfcModel::GetOrigin";
const std::string kpfcModel_GetRevision = "pfcModel::GetRevision";
const std::string kpfcModel_GetType = "pfcModel::GetType";
const std::string kpfcModel_GetVersion = "pfcModel::GetVersion";
const std::string kpfcModel_GetVersionStamp = "pfcModel::GetVersionStamp";
const std::string kpfcParameterOwner_GetParam = "pfcParameterOwner::GetParam";
const std::string kpfcSimpRep_GetSimpRepType = "pfcSimpRep::GetSimpRepType";
const std::string kpfcSolid_GetActiveSimpRep = "pfcSolid::GetActiveSimpRep";
const std::string kpfcSolid_ListFeaturesByType = "pfcSolid::ListFeaturesByType";

std::string stemOf(const std::string& name) { return pathOf(name).stem().string(); }

class SimParamValue : public pfcParamValue {
 public:
  SimParamValue(FaultInjector& faults, std::string value) : faults_(faults), value_(std::move(value)) {}
  pfcParamValueType Getdiscr() const override {
    faults_.check(kpfcParamValue_Getdiscr);
    return pfcPARAM_STRING;
  }
  xstring GetStringValue() const override {
    faults_.check(kpfcParamValue_GetStringValue);
    return xstringOf(value_);
  }

 private:
  FaultInjector& faults_;
  std::string value_;
};

class SimParameter : public pfcParameter {
 public:
  SimParameter(FaultInjector& faults, std::string value) : faults_(faults), value_(std::move(value)) {}
  pfcParamValue_ptr GetValue() override {
    faults_.check(kpfcBaseParameter_GetValue);
    return new SimParamValue(faults_, value_);
  }

 private:
  FaultInjector& faults_;
  std::string value_;
};

class SimFamilyTableRow : public pfcFamilyTableRow {
 public:
  SimFamilyTableRow(FaultInjector& faults, std::string instanceName)
      : faults_(faults), instanceName_(std::move(instanceName)) {}
  xstring GetInstanceName() override {
    faults_.check(kpfcFamilyTableRow_GetInstanceName);
    return xstringOf(instanceName_);
  }

 private:
  FaultInjector& faults_;
  std::string instanceName_;
};

class SimSimpRep : public pfcSimpRep {
 public:
  SimSimpRep(FaultInjector& faults, pfcSimpRepType type) : faults_(faults), type_(type) {}
  pfcSimpRepType GetSimpRepType() override {
    faults_.check(kpfcSimpRep_GetSimpRepType);
    return type_;
  }

 private:
  FaultInjector& faults_;
  pfcSimpRepType type_;
};

// Creo tells a target it may not write from one it fails to write.
[[noreturn]] void throwWriteFailure(const std::error_code& error, const char* operation) {
  if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
      error == std::errc::read_only_file_system)
    throw new pfcXToolkitNoPermission(operation);
  throw new pfcXToolkitCantWrite(operation);
}

void writeBytes(const fs::path& target, const std::string& bytes, const char* operation) {
  errno = 0;
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  if (!out) throwWriteFailure(std::error_code(errno, std::generic_category()), operation);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throwWriteFailure(std::make_error_code(std::errc::io_error), operation);
}

std::string integerOption(const pfcArgValue& value, xint highest) {
  if (value.GetKind() != pfcArgValue::Kind::Integer || value.GetIntValue() < 0 || value.GetIntValue() > highest)
    throw new pfcXToolkitUnsupported("pfcModel::Export");
  return std::to_string(value.GetIntValue());
}

std::string booleanOption(const pfcArgValue& value) {
  if (value.GetKind() != pfcArgValue::Kind::Boolean) throw new pfcXToolkitUnsupported("pfcModel::Export");
  return value.GetBoolValue() ? "true" : "false";
}

// The PDF options as the export took them, in their order, e.g. "font_stroke=0
// color_depth=2 launch_viewer=false". An option it does not know, or a value of
// the wrong kind or out of range, makes the export unsupported.
std::string pdfOptionsText(const pfcPDFOptions_ptr& options) {
  std::string text;
  if (!options) return text;
  for (xint i = 0; i < options->getarraysize(); ++i) {
    const pfcPDFOption_ptr& option = options->get(i);
    if (!option || !option->GetOptionValue()) throw new pfcXToolkitUnsupported("pfcModel::Export");
    const pfcArgValue& value = *option->GetOptionValue();
    std::string entry;
    switch (option->GetOptionType()) {
      case pfcPDFOPT_FONT_STROKE: entry = "font_stroke=" + integerOption(value, pfcPDF_USE_TRUE_TYPE_FONTS); break;
      case pfcPDFOPT_COLOR_DEPTH: entry = "color_depth=" + integerOption(value, pfcPDF_CD_MONO); break;
      case pfcPDFOPT_LAUNCH_VIEWER: entry = "launch_viewer=" + booleanOption(value); break;
      default: throw new pfcXToolkitUnsupported("pfcModel::Export");
    }
    text += (text.empty() ? "" : " ") + entry;
  }
  return text;
}

template <class Interface>
class SimModel : public Interface, public SimModelCommon {
 public:
  using SimModelCommon::SimModelCommon;

  pfcModelType GetType() override {
    check(kpfcModel_GetType);
    return type_;
  }
  xstring GetFileName() override {
    check(kpfcModel_GetFileName);
    return xstringOf(fileName());
  }
  xstring GetOrigin() override {
    check(kpfcModel_GetOrigin);
    return xstringOf(origin());
  }
  xstring GetInstanceName() override {
    check(kpfcModel_GetInstanceName);
    return xstringOf(instanceName());
  }
  xbool GetIsModified() override {
    check(kpfcModel_GetIsModified);
    return definition_.modified;
  }
  xstring GetVersionStamp() override {
    check(kpfcModel_GetVersionStamp);
    return xstringOf(definition_.versionStamp);
  }
  xstring GetRevision() override { return answer(definition_.revision, kpfcModel_GetRevision); }
  xstring GetVersion() override { return answer(definition_.version, kpfcModel_GetVersion); }
  pfcModelDescriptor_ptr GetDescr() override {
    check(kpfcModel_GetDescr);
    return descriptor();
  }
  void Backup(const pfcModelDescriptor_ptr& newDescr) override { backup(newDescr); }
  void Export(xrstring fileName, const pfcExportInstructions_ptr& exportData) override {
    exportModel(fileName, exportData);
  }
  pfcParameter_ptr GetParam(xrstring name) override {
    check(kpfcParameterOwner_GetParam);
    auto it = definition_.parameters.find(textOf(name));
    if (it == definition_.parameters.end()) return nullptr;
    return new SimParameter(store_.faults(), it->second);
  }
};

template <class Interface>
class SimSolid : public SimModel<Interface> {
 public:
  using SimModel<Interface>::SimModel;

  pfcModelDescriptor_ptr GetImmediateGenericInfo() override {
    this->check(kpfcFamilyMember_GetImmediateGenericInfo);
    if (this->definition_.generic.empty()) return nullptr;
    SimModelCommon* generic = this->store_.find(this->definition_.generic);
    if (!generic) throw new pfcXToolkitNotFound("pfcFamilyMember::GetImmediateGenericInfo");
    return generic->descriptor();
  }
  pfcFamilyTableRows_ptr ListRows() override {
    this->check(kpfcFamilyMember_ListRows);
    auto rows = pfcFamilyTableRows::create();
    for (const std::string& row : this->definition_.familyRows)
      rows->append(new SimFamilyTableRow(this->store_.faults(), row));
    return rows;
  }
  pfcFamilyMember_ptr GetParent() override {
    this->check(kpfcFamilyMember_GetParent);
    if (this->definition_.generic.empty()) throw new pfcXToolkitNotFound("pfcFamilyMember::GetParent");
    return pfcFamilyMember::cast(this->store_.retrieve(this->definition_.generic, "pfcFamilyMember::GetParent"));
  }
  pfcFeatures_ptr ListFeaturesByType(xbool visibleOnly, pfcFeatureType type) override {
    this->check(kpfcSolid_ListFeaturesByType);
    pfcFeatures_ptr features = pfcFeatures::create();
    if (type == pfcFEATTYPE_COMPONENT) {
      for (const auto& feature : this->features_)
        if (!visibleOnly || feature->definition().visible) features->append(feature.get());
    }
    return features;
  }
  pfcSimpRep_ptr GetActiveSimpRep() override {
    this->check(kpfcSolid_GetActiveSimpRep);
    if (!this->definition_.simplifiedRep) return nullptr;
    return new SimSimpRep(this->store_.faults(), *this->definition_.simplifiedRep);
  }
};

using SimDrawing = SimModel<wfcWModel>;
using SimPart = SimSolid<wfcWSolid>;
using SimAssembly = SimSolid<wfcWAssembly>;

}  // namespace

SimComponentFeat::SimComponentFeat(ModelStore& store, SimComponentDefinition definition, xint id)
    : store_(store), definition_(std::move(definition)), id_(id) {}

pfcFeatureType SimComponentFeat::GetFeatType() {
  store_.faults().check(kpfcFeature_GetFeatType);
  return pfcFEATTYPE_COMPONENT;
}
pfcFeatureStatus SimComponentFeat::GetStatus() {
  store_.faults().check(kpfcFeature_GetStatus);
  return definition_.status;
}
xint SimComponentFeat::GetId() {
  store_.faults().check(kpfcFeature_GetId);
  return id_;
}
pfcModelDescriptor_ptr SimComponentFeat::GetModelDescr() {
  store_.faults().check(kpfcComponentFeat_GetModelDescr);
  if (!definition_.hasDescriptor) return nullptr;
  if (!model_) model_ = store_.find(definition_.model);
  if (model_) return model_->componentDescriptor();
  // A component whose model is known nowhere: the descriptor still names it.
  fs::path name = pathOf(definition_.model);
  pfcModelType type = typeOfExtension(name.extension().string()).value_or(pfcMDL_PART);
  return pfcModelDescriptor::Create(type, xstringOf(asciiUpper(name.stem().string())));
}

SimModelCommon::SimModelCommon(ModelStore& store, SimModelDefinition definition)
    : store_(store),
      definition_(std::move(definition)),
      key_(asciiLower(definition_.name)),
      type_(definition_.type.value_or(typeOfExtension(pathOf(definition_.name).extension().string()).value_or(pfcMDL_PART))),
      loaded_(definition_.loaded) {
  xint id = 1;
  for (const SimComponentDefinition& component : definition_.components)
    features_.push_back(std::make_shared<SimComponentFeat>(store_, component, id++));
}

const SimModelCommon::Names& SimModelCommon::names() const {
  if (names_) return *names_;
  Names names;
  names.filePath = definition_.file;
  if (names.filePath.empty() && !definition_.generic.empty())
    if (const SimModelCommon* generic = store_.find(definition_.generic)) names.filePath = generic->filePath();

  if (!definition_.origin.empty()) {
    names.origin = definition_.origin;
  } else if (!names.filePath.empty() && definition_.workspace.empty()) {
    names.origin = utf8Of(names.filePath);
  } else if (!names.filePath.empty()) {
    const SimWorkspace* workspace = store_.workspace(definition_.workspace);
    names.origin = (workspace ? workspace->scheme : std::string("wtws")) + "://" + definition_.workspace + "/" +
                   utf8Of(names.filePath.filename());
  }

  if (!definition_.fileName.empty()) names.fileName = definition_.fileName;
  else if (definition_.generic.empty()) names.fileName = definition_.name;
  else
    names.fileName =
        asciiLower(stemOf(definition_.name)) + "<" + asciiLower(stemOf(definition_.generic)) + ">" + extensionOfType(type_);

  names.instanceName = asciiUpper(stemOf(definition_.name));
  if (!definition_.generic.empty()) names.genericName = asciiUpper(stemOf(definition_.generic));
  if (definition_.workspace.empty() && !names.filePath.empty()) names.directory = utf8Of(names.filePath.parent_path());
  names_ = std::move(names);
  return *names_;
}

fs::path SimModelCommon::filePath() const { return names().filePath; }
std::string SimModelCommon::origin() const { return names().origin; }
std::string SimModelCommon::fileName() const { return names().fileName; }
std::string SimModelCommon::instanceName() const { return names().instanceName; }

pfcModelDescriptor_ptr SimModelCommon::componentDescriptor() {
  // The last one is handed out again once every caller has let go of it
  // unchanged: nobody can tell, and walks ask once per component.
  if (!componentDescriptor_ || componentDescriptor_.use_count() > 1 || !componentDescriptor_->GetPath().IsNull())
    componentDescriptor_ = std::make_shared<pfcModelDescriptor>(type_, xstringOf(names().instanceName),
                                                                xstringOf(names().genericName));
  return componentDescriptor_.get();
}

pfcModelDescriptor_ptr SimModelCommon::descriptor() const {
  const Names& known = names();
  auto descr = pfcModelDescriptor::Create(type_, xstringOf(known.instanceName), xstringOf(known.genericName));
  if (!known.directory.empty()) descr->SetPath(xstringOf(known.directory));
  return descr;
}

void SimModelCommon::check(const std::string& operation) const {
  store_.faults().check(operation);
  if (definition_.faults.empty()) return;
  auto it = definition_.faults.find(operation);
  if (it == definition_.faults.end()) return;
  if (it->second == "StructuredException") throw SimulatedProcessorFault{};
  throwToolkitError(it->second, operation);
}

xstring SimModelCommon::answer(const QueryScript& script, const std::string& operation) const {
  check(operation);
  switch (script.behaviour) {
    case QueryScript::Behaviour::Answer: return xstringOf(script.value);
    case QueryScript::Behaviour::Empty: return {};
    case QueryScript::Behaviour::ToolkitError:
      throwToolkitError(script.errorClass, operation);
      throw new pfcXToolkitError(operation.c_str());
    case QueryScript::Behaviour::ProcessorFault: throw SimulatedProcessorFault{};
  }
  return {};
}

// What Creo writes on a backup: the model file under its next version suffix (for
// an instance, its generic's file, which holds the table) and, for an instance
// when "save_instance_accelerator" is ALWAYS, the instance's accelerator file.
void SimModelCommon::backup(const pfcModelDescriptor_ptr& target) {
  check(kpfcModel_Backup);
  const std::string targetPath = target ? textOf(target->GetPath()) : std::string();
  fs::path directory = !targetPath.empty() ? pathOf(targetPath) : filePath().parent_path();
  std::error_code ec;
  if (directory.empty() || !fs::is_directory(directory, ec)) throw new pfcXToolkitInvalidDir("pfcModel::Backup");

  const SimModelCommon* saved = this;
  if (!definition_.generic.empty()) {
    saved = store_.find(definition_.generic);
    if (!saved) throw new pfcXToolkitNotFound("pfcModel::Backup");
  }
  const std::string base = saved->definition_.fileName.empty() ? saved->definition_.name : saved->definition_.fileName;
  const int version = store_.backupVersions().next(directory, base);
  fs::path written = directory / pathOf(base + "." + std::to_string(version));
  fs::path source = saved->filePath();
  try {
    if (!source.empty() && fs::is_regular_file(source, ec))
      fs::copy_file(source, written, fs::copy_options::overwrite_existing);
    else
      writeModelFile(written, "", 4096, std::hash<std::string>{}(saved->key_));
    store_.backupVersions().wrote(directory, base, version);
    if (!definition_.generic.empty() && asciiUpper(store_.configOption("save_instance_accelerator")) == "ALWAYS") {
      std::string accelerator = instanceName() + (type_ == pfcMDL_ASSEMBLY ? ".xas" : ".xpr");
      writeModelFile(directory / pathOf(accelerator), "", 1024, std::hash<std::string>{}(key_));
    }
  } catch (const fs::filesystem_error& error) {
    throwWriteFailure(error.code(), "pfcModel::Backup");
  } catch (const std::exception&) {
    throw new pfcXToolkitCantWrite("pfcModel::Backup");
  }
}

// A drawing's PDF, written where the caller says. The drawing must be the model
// of the active window, as Creo prints what that window shows.
void SimModelCommon::exportModel(xrstring targetName, const pfcExportInstructions_ptr& instructions) {
  check(kpfcModel_Export);
  const char* operation = "pfcModel::Export";
  auto pdf = pfcPDFExportInstructions::cast(instructions);
  if (!pdf || type_ != pfcMDL_DRAWING) throw new pfcXToolkitUnsupported(operation);
  DrawingPdf drawing{fileName(), definition_.sheets, pdfOptionsText(pdf->GetOptions())};
  if (!store_.isCurrent(*this)) throw new pfcXToolkitNotDisplayed(operation);
  const std::string target = textOf(targetName);
  std::error_code ec;
  if (target.empty() || fs::is_directory(pathOf(target), ec)) throw new pfcXToolkitCantWrite(operation);
  if (store_.exportsVanish()) return;
  writeBytes(pathOf(target), renderDrawingPdf(drawing), operation);
}

pfcModel_ptr makeSimModel(ModelStore& store, SimModelDefinition definition) {
  pfcModelType type = definition.type.value_or(typeOfExtension(pathOf(definition.name).extension().string()).value_or(pfcMDL_PART));
  switch (type) {
    case pfcMDL_ASSEMBLY: return new SimAssembly(store, std::move(definition));
    case pfcMDL_PART: return new SimPart(store, std::move(definition));
    default: return new SimDrawing(store, std::move(definition));
  }
}

SimModelCommon* simModelOf(const pfcModel_ptr& model) { return dynamic_cast<SimModelCommon*>(static_cast<pfcModel*>(model)); }

}  // namespace creosim
