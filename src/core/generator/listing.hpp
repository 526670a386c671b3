#pragma once
// The lines of the Expert Advisor's listing as the generator writes them: kept one by one (for
// readers that look at single lines), or appended straight to the bytes of the file (CP-1252,
// CRLF line ends), so that writing the file needs neither the line strings nor a second pass.
// A line is given in parts and joined in place, without temporary strings.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorvik {

// The parts joined into one string, sized once.
std::string joinedViews(const std::string_view* parts, std::size_t count);
template <class... Parts>
std::string joined(const Parts&... parts) {
  const std::string_view views[] = {std::string_view(parts)...};
  return joinedViews(views, sizeof...(Parts));
}

class Listing {
 public:
  enum class Form { Lines, FileText };
  explicit Listing(Form form = Form::Lines) : form_(form) {}

  template <class... Parts>
  void line(const Parts&... parts) {
    const std::string_view views[] = {std::string_view(parts)...};
    append(views, sizeof...(Parts));
  }
  void push_back(std::string_view text) { append(&text, 1); }
  void push_back(const char* text) { push_back(std::string_view(text)); }
  void push_back(std::string&& text) {
    if (form_ == Form::Lines)
      lines_.push_back(std::move(text));
    else
      push_back(std::string_view(text));
  }
  void emplace_back(std::string_view text) { push_back(text); }
  void reserve(std::size_t lines, std::size_t bytes) {
    if (form_ == Form::Lines)
      lines_.reserve(lines);
    else
      text_.reserve(bytes);
  }

  // What was written: the lines (Form::Lines) or the file's bytes (Form::FileText).
  std::vector<std::string> takeLines() { return std::move(lines_); }
  std::string takeText() { return std::move(text_); }

 private:
  void append(const std::string_view* parts, std::size_t count);

  Form form_;
  std::vector<std::string> lines_;
  std::string text_;
  std::string scratch_;  // a line with characters beyond ASCII, before its conversion
};

}  // namespace zorvik
