#include "session_description.h"

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
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
  if (item.contains("type")) model.type = static_cast<pfcModelType>(item.at("type").get<int>());
  model.loaded = item.value("loaded", true);
  model.modified = item.value("modified", false);
  model.versionStamp = item.value("versionStamp", "");
  if (item.contains("revision")) model.revision = readQuery(item.at("revision"));
  if (item.contains("version")) model.version = readQuery(item.at("version"));
  if (item.contains("simplifiedRep"))
    model.simplifiedRep = static_cast<pfcSimpRepType>(item.at("simplifiedRep").get<int>());
  model.parameters = item.value("parameters", std::map<std::string, std::string>{});
  model.generic = item.value("generic", "");
  model.familyRows = item.value("familyTable", std::vector<std::string>{});
  model.faults = item.value("faults", std::map<std::string, std::string>{});
  model.sheets = std::max(1, item.value("sheets", 1));
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

SessionDescription readSessionDescription(const fs::path& file) {
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot open session description " + file.string());
  fs::path base = file.parent_path();
  try {
    json root = json::parse(in);
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
  } catch (const std::exception& error) {
    throw std::runtime_error("malformed session description " + file.string() + ": " + error.what());
  }
}

void writeSessionDescription(const SessionDescription& description, const fs::path& file) {
  fs::path base = file.parent_path();
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
  std::ofstream out(file, std::ios::trunc);
  out << root.dump(1) << "\n";
  if (!out.flush()) throw std::runtime_error("cannot write session description " + file.string());
}

}  // namespace creosim
