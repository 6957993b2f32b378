#include "upload/workspace_items.h"

std::string workspaceItemText(const NorvaneWorkspace& workspace) {
  return workspace.name.empty() ? "(unnamed workspace)" : workspace.name;
}

const NorvaneWorkspace* findWorkspaceByItemText(const std::vector<NorvaneWorkspace>& workspaces,
                                                const std::string& text) {
  for (const NorvaneWorkspace& workspace : workspaces)
    if (workspaceItemText(workspace) == text) return &workspace;
  return nullptr;
}

bool isNoWorkspaceSelected(const std::vector<std::string>& selection) {
  return selection.empty() || selection.front() == kPlaceholderItemName;
}
