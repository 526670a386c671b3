#include "help/help_registry.hpp"

#include "help/help_texts.hpp"
#include "model/catalogue.hpp"
#include "model/language.hpp"
#include "text/numbers.hpp"

namespace zorvik {

void HelpRegistry::registerTopic(std::string_view form, std::string_view control, WindowHandle window,
                                 std::string_view topic, std::string_view subtopic) {
  HelpRecord record{std::string(topic), std::string(form) + ";" + std::string(control), window,
                    std::string(subtopic)};
  for (HelpRecord& r : records_) {
    if (r.window == window) {
      r = std::move(record);
      return;
    }
  }
  records_.push_back(std::move(record));
}

const HelpRecord* HelpRegistry::find(WindowHandle window) const {
  if (window == 0) return nullptr;
  for (const HelpRecord& r : records_)
    if (r.window == window) return &r;
  return nullptr;
}

const HelpRecord* HelpRegistry::findWithParent(WindowHandle window, WindowHandle parent) const {
  if (const HelpRecord* r = find(window)) return r;
  return find(parent);
}

std::optional<HelpRequestResult> helpTopicRequest(const HelpRegistry& registry, const LanguageTable& language,
                                                  std::string_view form, int keyCode, WindowHandle window,
                                                  WindowHandle parent) {
  if (keyCode != kKeyF1) return std::nullopt;
  HelpRequestResult out;
  out.protocolLine = std::string(form) + " Taste " + intText(keyCode) + " Fenster " +
                     std::to_string(static_cast<unsigned long long>(window));
  if (const HelpRecord* r = registry.findWithParent(window, parent)) {
    out.message = language.translate("Quelle(Alternativ):") + r->source + ":\n" + language.translate("Hilfethema: ") +
                  r->topic;
    out.message += r->subtopic.empty() ? " " : "\n" + language.translate("Unterthema:") + r->subtopic;
    out.topic = r->topic;
  } else {
    out.message = language.translate("Quelle:Hilfe noch nicht spezifiziert. h=") +
                  std::to_string(static_cast<unsigned long long>(window));
  }
  return out;
}

MenuHelp menuHelp(const LanguageTable& language, std::string_view menuCaption) {
  MenuHelp out;
  out.topic = "MENU_" + std::string(menuCaption);
  out.message = language.translate("Quelle: MENÜ ") + "\n" + language.translate("Hilfethema: ") + out.topic;
  return out;
}

std::string helpWindowText(std::string_view caption, const HelpTextTable& texts, const LanguageTable& language,
                           std::string_view key) {
  const std::string help = texts.text(key);
  // An empty text must not become a "missing translation": there is nothing to translate.
  return std::string(caption) + "\n" + (help.empty() ? help : language.translate(help)) + "    ";
}

std::string parameterHelpText(const Catalogue& catalogue, const HelpTextTable& texts, const LanguageTable& language,
                              std::string_view key) {
  return helpWindowText(catalogue.parameterCaption(key, language), texts, language, key);
}

PopupPlacement placeHelpPopup(int cursorX, int cursorY, int windowHeight, int screenBottom) {
  constexpr int kOffset = 20;  // pixels right of and below the pointer
  constexpr int kBottomMargin = 20;
  PopupPlacement p{cursorX + kOffset, cursorY + kOffset};
  if (p.y + windowHeight > screenBottom - kBottomMargin) p.y = screenBottom - kBottomMargin - windowHeight;
  return p;
}

}  // namespace zorvik
