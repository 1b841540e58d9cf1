#include "platform/xml.h"

#include <cstring>
#include <pugixml.hpp>
#include <unordered_map>
#include <vector>

#include "platform/http.h"

namespace tarn {

struct XmlDocument::Impl {
  // The parser's names and values point into this text.
  std::string text;
  pugi::xml_document document;
  // Element children per element, built on first use: pugixml keeps siblings in a linked list,
  // and reading a long game list by index must not walk it again for every game.
  mutable std::unordered_map<pugi::xml_node_struct*, std::vector<pugi::xml_node_struct*>> children;

  const std::vector<pugi::xml_node_struct*>& ChildrenOf(pugi::xml_node_struct* node) const {
    auto [it, inserted] = children.try_emplace(node);
    if (inserted) {
      for (pugi::xml_node child : pugi::xml_node(node).children()) {
        if (child.type() == pugi::node_element) it->second.push_back(child.internal_object());
      }
    }
    return it->second;
  }
};

std::string_view XmlElement::Name() const { return pugi::xml_node(node_).name(); }

std::optional<std::string_view> XmlElement::Attribute(std::string_view name) const {
  // The parser's own look-up compares in place and is several times faster than walking the
  // attributes from here; it wants a terminated name.
  const pugi::xml_node node(node_);
  pugi::xml_attribute attribute;
  char terminated[64];
  if (name.size() < sizeof terminated) {
    std::memcpy(terminated, name.data(), name.size());
    terminated[name.size()] = '\0';
    attribute = node.attribute(terminated);
  } else {
    attribute = node.attribute(std::string(name).c_str());
  }
  if (!attribute) return std::nullopt;
  return std::string_view(attribute.value());
}

std::string XmlElement::OwnText() const {
  std::string text;
  if (IsNull()) return text;
  for (pugi::xml_node child : pugi::xml_node(node_).children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      text += child.value();
    }
  }
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

int XmlElement::ChildCount() const {
  if (IsNull()) return 0;
  return int(doc_->impl_->ChildrenOf(node_).size());
}

XmlElement XmlElement::Child(int index) const {
  if (IsNull() || index < 0) return {};
  const auto& children = doc_->impl_->ChildrenOf(node_);
  if (size_t(index) >= children.size()) return {};
  return XmlElement(doc_, children[size_t(index)]);
}

XmlDocument::XmlDocument() : impl_(std::make_unique<Impl>()) {}
XmlDocument::~XmlDocument() = default;

std::shared_ptr<const XmlDocument> XmlDocument::Parse(std::string text) {
  std::shared_ptr<XmlDocument> doc(new XmlDocument());
  Impl& impl = *doc->impl_;
  impl.text = std::move(text);
  pugi::xml_parse_result result = impl.document.load_buffer_inplace(
      impl.text.data(), impl.text.size(), pugi::parse_default, pugi::encoding_auto);
  if (!result) {
    throw XmlLoadError("Malformed XML at offset " + std::to_string(result.offset) + ": " +
                       result.description());
  }
  return doc;
}

XmlElement XmlDocument::Root() const {
  return XmlElement(this, impl_->document.document_element().internal_object());
}

std::shared_ptr<const XmlDocument> HttpXmlLoader::Load(const std::string& url) {
  std::string text;
  try {
    text = http_.GetText(url);
  } catch (const HttpError& error) {
    throw XmlLoadError(std::string("Cannot load XML: ") + error.what());
  }
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) return nullptr;
  try {
    return XmlDocument::Parse(std::move(text));
  } catch (const XmlLoadError& error) {
    throw XmlLoadError("Cannot load XML from " + url + ": " + error.what());
  }
}

}  // namespace tarn
