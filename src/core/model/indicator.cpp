#include "model/indicator.hpp"

#include "model/definition_table.hpp"
#include "model/language.hpp"

namespace zorvik {

namespace {

// Names are a few bytes long: compared in place, which is cheaper than a call to memcmp.
bool sameName(const std::string& stored, std::string_view name) {
  if (stored.size() != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (stored[i] != name[i]) return false;
  return true;
}

}  // namespace

Indicator::Parameter* Indicator::find(std::string_view name) {
  for (auto& p : params_)
    if (sameName(p.name, name)) return &p;
  return nullptr;
}

const Indicator::Parameter* Indicator::find(std::string_view name) const {
  for (const auto& p : params_)
    if (sameName(p.name, name)) return &p;
  return nullptr;
}

std::string Indicator::storedValue(const DefinitionTable& definitions, const LanguageTable& language,
                                   std::string_view name, std::string_view value) {
  std::string v(value);
  if (name == "symbol" && v == language.translate("Aktuelles Symbol")) v = "Symbol()";
  if (!v.empty() && v.front() == '#') v = definitions.indexToId(name, v);
  return v;
}

void Indicator::setParameter(const DefinitionTable& definitions, const LanguageTable& language, std::string_view name,
                             std::string_view value) {
  setRaw(name, storedValue(definitions, language, name, value));
}

void Indicator::setParameterValue(int position, std::string value) {
  if (position < 1 || position > parameterCount()) return;
  params_[static_cast<std::size_t>(position - 1)].value = std::move(value);
}

void Indicator::setRaw(std::string_view name, std::string value) {
  if (Parameter* p = find(name))
    p->value = std::move(value);
  else
    params_.push_back({std::string(name), std::move(value)});
}

const std::string& Indicator::parameter(std::string_view name) const {
  static const std::string kNone;
  const Parameter* p = find(name);
  return p ? p->value : kNone;
}

bool Indicator::hasParameter(std::string_view name) const { return find(name) != nullptr; }

std::string Indicator::parameterValue(int position) const {
  if (position < 1 || position > parameterCount()) return {};
  return params_[static_cast<std::size_t>(position - 1)].value;
}

std::string Indicator::parameterName(int position) const {
  if (position < 1 || position > parameterCount()) return {};
  return params_[static_cast<std::size_t>(position - 1)].name;
}

void Indicator::resizeParameters(int count) { params_.resize(static_cast<std::size_t>(count < 0 ? 0 : count)); }

std::string Indicator::toString() const {
  std::string out;
  for (std::size_t i = 0; i < params_.size(); ++i) {
    if (i) out += ';';
    out += params_[i].name + "=" + params_[i].value;
  }
  return out;
}

std::string Indicator::toShortString() const {
  std::string out = parameter("comment");
  for (const auto& p : params_) {
    if (p.name == "comment" || p.name == "lastedittime") continue;
    out += "/" + p.value;
  }
  return out;
}

}  // namespace zorvik
