// The upload dialog's unsaved-model warning: whether the current model, its
// family-table generic or any loaded component below it has unsaved changes.
#pragma once

// Never fails: every fault inside is logged and counts as no unsaved change.
bool hasUnsavedChangesInSession();
