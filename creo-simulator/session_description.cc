#include "session_description.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

#include "sim_text.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace creosim {
namespace {

const std::pair<const char*, pfcFeatureStatus> kStatusNames[] = {
    {"active", pfcFEAT_ACTIVE},
    {"inactive", pfcFEAT_INACTIVE},
    {"familyTableSuppressed", pfcFEAT_FAMILY_TABLE_SUPPRESSED},
    {"suppressed", pfcFEAT_SUPPRESSED},
};

QueryScript readQuery(const json& value) {
  if (value.is_string()) {
    std::string text = value.get<std::string>();
    return text.empty() ? QueryScript::empty() : QueryScript::answer(text);
  }
  if (value.value("fault", false)) return QueryScript::processorFault();
  if (value.contains("error")) return QueryScript::toolkitError(value.at("error").get<std::string>());
  throw std::runtime_error("a query answer is a text, {\"error\": class} or {\"fault\": true}");
}

json writeQuery(const QueryScript& query) {
  switch (query.behaviour) {
    case QueryScript::Behaviour::Answer: return query.value;
    case QueryScript::Behaviour::Empty: return "";
    case QueryScript::Behaviour::ToolkitError: return {{"error", query.errorClass}};
    case QueryScript::Behaviour::ProcessorFault: return {{"fault", true}};
  }
  return "";
}

pfcFeatureStatus readStatus(const std::string& name) {
  for (const auto& [text, status] : kStatusNames)
    if (name == text) return status;
  throw std::runtime_error("unknown component status: " + name);
}

const char* statusName(pfcFeatureStatus status) {
  for (const auto& [text, value] : kStatusNames)
    if (value == status) return text;
  return "active";
}

// A whole number in the range; a fraction, an exponent beyond it or another
// type is a malformed file, never converted.
int wholeNumber(const json& value, const char* field, int lowest, int highest) {
  if (!value.is_number_integer() || (value.is_number_unsigned() && value.get<uint64_t>() > uint64_t(highest)) ||
      value.get<int64_t>() < lowest || value.get<int64_t>() > highest)
    throw std::runtime_error(std::string(field) + " must be a whole number from " + std::to_string(lowest) + " to " +
                             std::to_string(highest));
  return static_cast<int>(value.get<int64_t>());
}

fs::path resolve(const fs::path& base, const json& value) {
  fs::path path = pathOf(value.get<std::string>());
  return path.is_absolute() ? path : base / path;
}

std::string relativeText(const fs::path& base, const fs::path& path) {
  if (path.empty()) return {};
  fs::path relativePath = path.lexically_relative(base);
  bool inside = !relativePath.empty() && *relativePath.begin() != "..";
  return utf8Of(inside ? relativePath.generic_u8string() : path.generic_u8string());
}

SimModelDefinition readModel(const json& item, const fs::path& base) {
  SimModelDefinition model;
  model.name = item.at("name").get<std::string>();
  if (item.contains("file")) model.file = resolve(base, item.at("file"));
  model.workspace = item.value("workspace", "");
  model.origin = item.value("origin", "");
  model.fileName = item.value("fileName", "");
  if (item.contains("type"))
    model.type = static_cast<pfcModelType>(wholeNumber(item.at("type"), "type", pfcMDL_ASSEMBLY, pfcMDL_DIAGRAM));
  model.loaded = item.value("loaded", true);
  model.modified = item.value("modified", false);
  model.versionStamp = item.value("versionStamp", "");
  if (item.contains("revision")) model.revision = readQuery(item.at("revision"));
  if (item.contains("version")) model.version = readQuery(item.at("version"));
  if (item.contains("simplifiedRep"))
    model.simplifiedRep = static_cast<pfcSimpRepType>(
        wholeNumber(item.at("simplifiedRep"), "simplifiedRep", pfcSIMPREP_MASTER_REP, pfcSIMPREP_USER_DEFINED));
  model.parameters = item.value("parameters", std::map<std::string, std::string>{});
  model.generic = item.value("generic", "");
  model.familyRows = item.value("familyTable", std::vector<std::string>{});
  model.faults = item.value("faults", std::map<std::string, std::string>{});
  if (item.contains("sheets"))
    model.sheets = std::max(1, wholeNumber(item.at("sheets"), "sheets", std::numeric_limits<int>::min(),
                                           std::numeric_limits<int>::max()));
  for (const json& component : item.value("components", json::array())) {
    SimComponentDefinition definition;
    definition.model = component.at("model").get<std::string>();
    definition.status = readStatus(component.value("status", "active"));
    definition.embedded = component.value("embedded", false);
    definition.visible = component.value("visible", true);
    definition.hasDescriptor = component.value("descriptor", true);
    model.components.push_back(std::move(definition));
  }
  return model;
}

json writeModel(const SimModelDefinition& model, const fs::path& base) {
  json item = {{"name", model.name}};
  if (!model.file.empty()) item["file"] = relativeText(base, model.file);
  if (!model.workspace.empty()) item["workspace"] = model.workspace;
  if (!model.origin.empty()) item["origin"] = model.origin;
  if (!model.fileName.empty()) item["fileName"] = model.fileName;
  if (model.type) item["type"] = static_cast<int>(*model.type);
  if (!model.loaded) item["loaded"] = false;
  if (model.modified) item["modified"] = true;
  if (!model.versionStamp.empty()) item["versionStamp"] = model.versionStamp;
  if (model.revision.behaviour != QueryScript::Behaviour::Empty) item["revision"] = writeQuery(model.revision);
  if (model.version.behaviour != QueryScript::Behaviour::Empty) item["version"] = writeQuery(model.version);
  if (model.simplifiedRep) item["simplifiedRep"] = static_cast<int>(*model.simplifiedRep);
  if (!model.parameters.empty()) item["parameters"] = model.parameters;
  if (!model.generic.empty()) item["generic"] = model.generic;
  if (!model.familyRows.empty()) item["familyTable"] = model.familyRows;
  if (!model.faults.empty()) item["faults"] = model.faults;
  if (model.sheets != 1) item["sheets"] = model.sheets;
  if (!model.components.empty()) {
    json components = json::array();
    for (const SimComponentDefinition& component : model.components) {
      json entry = {{"model", component.model}};
      if (component.status != pfcFEAT_ACTIVE) entry["status"] = statusName(component.status);
      if (component.embedded) entry["embedded"] = true;
      if (!component.visible) entry["visible"] = false;
      if (!component.hasDescriptor) entry["descriptor"] = false;
      components.push_back(std::move(entry));
    }
    item["components"] = std::move(components);
  }
  return item;
}

}  // namespace

SessionDescription parseSessionDescription(std::string_view text, const fs::path& base) {
  json root = json::parse(text);
  SessionDescription description;
  for (const json& item : root.value("workspaces", json::array())) {
    SimWorkspace workspace;
    workspace.name = item.at("name").get<std::string>();
    workspace.cacheDirectory = resolve(base, item.at("cache"));
    workspace.scheme = item.value("scheme", "wtws");
    description.workspaces.push_back(std::move(workspace));
  }
  for (const json& item : root.value("models", json::array())) description.models.push_back(readModel(item, base));
  description.configOptions = root.value("configOptions", std::map<std::string, std::string>{});
  description.currentModel = root.value("current", "");
  return description;
}

std::string printSessionDescription(const SessionDescription& description, const fs::path& base) {
  json root;
  root["workspaces"] = json::array();
  for (const SimWorkspace& workspace : description.workspaces)
    root["workspaces"].push_back(json{{"name", workspace.name},
                                      {"cache", relativeText(base, workspace.cacheDirectory)},
                                      {"scheme", workspace.scheme}});
  root["models"] = json::array();
  for (const SimModelDefinition& model : description.models) root["models"].push_back(writeModel(model, base));
  root["configOptions"] = description.configOptions;
  root["current"] = description.currentModel;
  return root.dump(1) + "\n";
}

SessionDescription readSessionDescription(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open session description " + file.string());
  std::ostringstream text;
  text << in.rdbuf();
  try {
    return parseSessionDescription(text.str(), file.parent_path());
  } catch (const std::exception& error) {
    throw std::runtime_error("malformed session description " + file.string() + ": " + error.what());
  }
}

void writeSessionDescription(const SessionDescription& description, const fs::path& file) {
  std::ofstream out(file, std::ios::trunc);
  out << printSessionDescription(description, file.parent_path());
  if (!out.flush()) throw std::runtime_error("cannot write session description " + file.string());
}

}  // namespace creosim
