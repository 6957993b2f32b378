#include "ribbon.h"

#include "host/toolkit_errors.h"

namespace creosim {

void Ribbon::loadDefinitionFile(const xstring&) { throw pfcXToolkitInvalidFile("pfcSession::RibbonDefinitionfileLoad"); }
pfcUICommand_ptr Ribbon::createCommand(const xstring&, const pfcUICommandActionListener_ptr&) {
  throw pfcXToolkitNotFound("pfcSession::UICreateCommand");
}

}  // namespace creosim
