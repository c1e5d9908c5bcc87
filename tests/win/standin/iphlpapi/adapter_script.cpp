#include "adapter_script.h"

#include <cstdio>
#include <cstdlib>

namespace standin {

namespace {

// The first word of `line` and the rest after the blanks that follow it.
void Split(const std::string& line, std::string& word, std::string& rest) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  const std::size_t start = i;
  while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
  word = line.substr(start, i - start);
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  rest = line.substr(i);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.pop_back();
}

bool ParseNumber(const std::string& text, std::uint32_t& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const unsigned long n = std::strtoul(text.c_str(), &end, 10);
  if (*end != '\0' || n > 0xFFFFFFFFul) return false;
  value = static_cast<std::uint32_t>(n);
  return true;
}

bool ParseMac(const std::string& text, std::vector<unsigned char>& mac) {
  mac.clear();
  for (std::size_t i = 0; i < text.size();) {
    if (i + 2 > text.size()) return false;
    char* end = nullptr;
    const std::string pair = text.substr(i, 2);
    const unsigned long byte = std::strtoul(pair.c_str(), &end, 16);
    if (*end != '\0') return false;
    mac.push_back(static_cast<unsigned char>(byte));
    i += 2;
    if (i < text.size()) {
      if (text[i] != '-' && text[i] != ':') return false;
      ++i;
    }
  }
  return mac.size() >= 1 && mac.size() <= 8;
}

void Defaults(ScriptAdapter& adapter) {
  if (adapter.mac.empty())
    adapter.mac = {0x00, 0xFF, 0x00, 0x00, static_cast<unsigned char>(adapter.index >> 8),
                   static_cast<unsigned char>(adapter.index)};
  if (adapter.guid.empty()) {
    char guid[48];
    std::snprintf(guid, sizeof guid, "{7A3E0000-0000-0000-0000-%012X}", adapter.index);
    adapter.guid = guid;
  }
  if (adapter.address != 0 && adapter.mask == 0) ParseIpv4("255.255.255.0", adapter.mask);
}

}  // namespace

bool ParseIpv4(const std::string& text, std::uint32_t& address) {
  unsigned a, b, c, d;
  char extra;
  if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &extra) != 4 || a > 255 || b > 255 || c > 255 ||
      d > 255)
    return false;
  address = a | (b << 8) | (c << 16) | (static_cast<std::uint32_t>(d) << 24);
  return true;
}

AdapterScript ParseAdapterScript(const std::string& text, std::vector<std::string>& problems) {
  AdapterScript script;
  std::size_t start = 0;
  for (int number = 1; start < text.size(); ++number) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string word, rest;
    Split(line, word, rest);
    if (word.empty() || word[0] == '#') continue;
    ScriptAdapter* current = script.adapters.empty() ? nullptr : &script.adapters.back();
    bool ok = true;
    if (word == "adapter") {
      ScriptAdapter adapter;
      ok = ParseNumber(rest, adapter.index) && adapter.index != 0;
      if (ok) script.adapters.push_back(adapter);
    } else if (word == "journal") {
      ok = !rest.empty();
      script.journal = rest;
    } else if (word == "no-echo") {
      std::uint32_t address = 0;
      ok = ParseIpv4(rest, address) && (address & 0xFFu) == 127;
      if (ok) script.noEcho.push_back(address);
    } else if (current == nullptr) {
      ok = false;  // a property before any adapter
    } else if (word == "description") {
      ok = !rest.empty();
      current->description = rest;
    } else if (word == "address") {
      std::string address, mask;
      Split(rest, address, mask);
      ok = ParseIpv4(address, current->address) && (mask.empty() || ParseIpv4(mask, current->mask));
    } else if (word == "gateway") {
      ok = ParseIpv4(rest, current->gateway);
    } else if (word == "mac") {
      ok = ParseMac(rest, current->mac);
    } else if (word == "guid") {
      ok = rest.size() > 2 && rest.front() == '{' && rest.back() == '}';
      current->guid = rest;
    } else if (word == "type") {
      ok = ParseNumber(rest, current->type);
    } else if (word == "metric") {
      ok = current->hasMetric = ParseNumber(rest, current->metric);
    } else {
      ok = false;
    }
    if (!ok) problems.push_back(std::to_string(number) + "\t" + line);
  }
  for (ScriptAdapter& adapter : script.adapters) Defaults(adapter);
  return script;
}

}  // namespace standin
