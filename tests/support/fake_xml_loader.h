#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/xml.h"

namespace tarn::testing {

// Answers each URL with a fixed text, an empty one with no document; an unknown URL fails like an
// unreachable server.
class FakeXmlLoader : public XmlLoader {
 public:
  void Answer(const std::string& url, std::string xml) { answers_[url] = std::move(xml); }
  void Fail(const std::string& url) { answers_.erase(url); }

  std::shared_ptr<const XmlDocument> Load(const std::string& url) override {
    requests.push_back(url);
    const auto it = answers_.find(url);
    if (it == answers_.end()) throw XmlLoadError("Cannot connect to " + url);
    if (it->second.empty()) return nullptr;
    return XmlDocument::Parse(it->second);
  }

  std::vector<std::string> requests;

 private:
  std::map<std::string, std::string> answers_;
};

}  // namespace tarn::testing
