#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes/LaunchdJob.h"

namespace pelko::test {

// The same job read by a conforming XML 1.0 parser (libxml2), which applies
// the end-of-line rule a property-list reader built on one does: a raw
// carriage return arrives as a line feed. No DTD is fetched. Empty when the
// text is no well-formed property list.
namespace xml {

inline bool named(const xmlNode* node, const char* name) {
    return node && node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

inline const xmlNode* firstElement(const xmlNode* node) {
    while (node && node->type != XML_ELEMENT_NODE) node = node->next;
    return node;
}

inline const xmlNode* nextElement(const xmlNode* node) { return node ? firstElement(node->next) : nullptr; }

inline std::string text(const xmlNode* node) {
    const std::unique_ptr<xmlChar, void (*)(xmlChar*)> content(xmlNodeGetContent(node),
                                                               [](xmlChar* p) { xmlFree(p); });
    return content ? reinterpret_cast<const char*>(content.get()) : "";
}

// The value after <key>name</key> in a <dict>, or null.
inline const xmlNode* valueFor(const xmlNode* dict, const std::string& name) {
    for (const xmlNode* key = firstElement(dict ? dict->children : nullptr); key; key = nextElement(nextElement(key))) {
        if (named(key, "key") && text(key) == name) return nextElement(key);
    }
    return nullptr;
}

inline std::string stringValue(const xmlNode* node) { return named(node, "string") ? text(node) : ""; }

}  // namespace xml

inline LaunchdJob readLaunchdJobAsXml(const std::string& text) {
    const std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> document(
        xmlReadMemory(text.data(), static_cast<int>(text.size()), "job.plist", nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
        xmlFreeDoc);
    LaunchdJob job;
    const xmlNode* plist = document ? xmlDocGetRootElement(document.get()) : nullptr;
    const xmlNode* root = xml::named(plist, "plist") ? xml::firstElement(plist->children) : nullptr;
    if (!xml::named(root, "dict")) return job;
    if (const xmlNode* arguments = xml::valueFor(root, "ProgramArguments"); xml::named(arguments, "array")) {
        for (const xmlNode* item = xml::firstElement(arguments->children); item; item = xml::nextElement(item))
            job.arguments.push_back(xml::stringValue(item));
    }
    if (const xmlNode* environment = xml::valueFor(root, "EnvironmentVariables"); xml::named(environment, "dict")) {
        for (const xmlNode* key = xml::firstElement(environment->children); key;
             key = xml::nextElement(xml::nextElement(key)))
            job.environment[xml::text(key)] = xml::stringValue(xml::nextElement(key));
    }
    job.standardOut = xml::stringValue(xml::valueFor(root, "StandardOutPath"));
    job.standardError = xml::stringValue(xml::valueFor(root, "StandardErrorPath"));
    return job;
}

}  // namespace pelko::test
