#include "layout/layout_syntax.h"

#include <nlohmann/json.hpp>
#include <set>
#include <vector>

namespace {

// A layout nests four levels; anything far deeper is no layout.
constexpr size_t kMaxDepth = 32;

// Keeps only what the value reader cannot see afterwards: a key given twice
// (the parsed value keeps one of them silently) and the parser's own error.
class SyntaxCheck : public nlohmann::json_sax<nlohmann::json> {
 public:
  std::string Error;

  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool string(string_t&) override { return Value(); }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override {
    keys_.emplace_back();
    return Deeper();
  }
  bool key(string_t& name) override {
    if (keys_.empty() || keys_.back().insert(name).second) return true;
    Error = "the key \"" + name + "\" is given twice in one object";
    return false;
  }
  bool end_object() override {
    if (!keys_.empty()) keys_.pop_back();
    --depth_;
    return true;
  }
  bool start_array(std::size_t) override { return Deeper(); }
  bool end_array() override {
    --depth_;
    return true;
  }
  bool parse_error(std::size_t position, const std::string&,
                   const nlohmann::detail::exception&) override {
    Error = "not valid JSON (at byte " + std::to_string(position) + ")";
    return false;
  }

 private:
  bool Value() { return true; }
  bool Deeper() {
    if (++depth_ <= kMaxDepth) return true;
    Error = "nested too deeply";
    return false;
  }
  std::vector<std::set<std::string>> keys_;
  size_t depth_ = 0;
};

}  // namespace

int CheckLayoutSyntax(const std::string& text, std::string* error) {
  SyntaxCheck check;
  bool passed = nlohmann::json::sax_parse(text, &check);
  if (passed) return 1;
  *error = check.Error.empty() ? "not valid JSON" : check.Error;
  return 0;
}
