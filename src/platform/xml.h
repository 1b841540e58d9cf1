#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pugi {
struct xml_node_struct;
}

namespace tarn {

class Http;
class XmlDocument;

// A document that could not be fetched or did not parse. The text names the URL and the reason.
class XmlLoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A handle to an element of a loaded document; valid while the document lives.
// Only elements count as children: text, whitespace and comments are not children.
class XmlElement {
 public:
  XmlElement() = default;
  bool IsNull() const { return node_ == nullptr; }
  std::string_view Name() const;
  std::optional<std::string_view> Attribute(std::string_view name) const;
  // The element's own text (not its children's), white space at the ends trimmed; an error
  // page such as <error code="500">Internal server error</error> has some, a list has none.
  std::string OwnText() const;
  int ChildCount() const;
  // Null element when the index is out of range. O(1) after the first call on this element.
  XmlElement Child(int index) const;

 private:
  friend class XmlDocument;
  XmlElement(const XmlDocument* doc, pugi::xml_node_struct* node) : doc_(doc), node_(node) {}
  const XmlDocument* doc_ = nullptr;
  pugi::xml_node_struct* node_ = nullptr;
};

// Read from one thread at a time: element children are indexed on first use.
class XmlDocument {
 public:
  // Throws XmlLoadError, with the reason and the offset, when the text is not a well-formed
  // document with a root element. The text is parsed in place and kept by the document, so a
  // long list is held once; pass it with std::move when it is not needed afterwards.
  static std::shared_ptr<const XmlDocument> Parse(std::string text);
  ~XmlDocument();
  XmlElement Root() const;

 private:
  friend class XmlElement;
  XmlDocument();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Fetches and parses a document in one call. A server that answers with nothing but white space
// yields no document (nullptr); every failure throws XmlLoadError.
class XmlLoader {
 public:
  virtual ~XmlLoader() = default;
  virtual std::shared_ptr<const XmlDocument> Load(const std::string& url) = 0;
};

// The real loader: an HTTP GET and the parser.
class HttpXmlLoader : public XmlLoader {
 public:
  explicit HttpXmlLoader(Http& http) : http_(http) {}
  std::shared_ptr<const XmlDocument> Load(const std::string& url) override;

 private:
  Http& http_;
};

}  // namespace tarn
