// The workspace dropdown's items: a placeholder first, then one item per
// workspace whose name and label are the same text. A selection is mapped
// back to a workspace by that text; the first match wins.
#pragma once

#include <string>
#include <vector>

#include "cloud/norvane_client.h"

inline constexpr const char* kPlaceholderItemName = "__select_placeholder__";
inline constexpr const char* kPlaceholderItemLabel = "Select...";

// The workspace's name, or "(unnamed workspace)" when it has none.
std::string workspaceItemText(const NorvaneWorkspace& workspace);
// The first listed workspace whose item text is `text`, or null.
const NorvaneWorkspace* findWorkspaceByItemText(const std::vector<NorvaneWorkspace>& workspaces,
                                                const std::string& text);
// Nothing selected, or the placeholder.
bool isNoWorkspaceSelected(const std::vector<std::string>& selection);
