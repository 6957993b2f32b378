// The Knowledge Center page for Creo users: a fixed path on the help site,
// whose host is a deployment setting.
#pragma once

#include <string>

inline constexpr const char* kKnowledgeCenterHostProperty = "tavix_creo_knowledge_center_host";
inline constexpr const char* kDefaultKnowledgeCenterHost = "help.tavix.example";

// "https://" + host + "/en/collections/19405936-creo-parametric", the host
// from the property or the default. A property value that is not a host name
// (with an optional port) is logged and gives an empty address.
std::string knowledgeCenterUrl();
