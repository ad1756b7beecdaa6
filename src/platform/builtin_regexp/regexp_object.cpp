#include "platform/builtin_regexp/regexp_object.h"

#include <array>
#include <cmath>
#include <memory>

#include "platform/builtin_regexp/regexp_engine.h"

namespace platform::builtin {

int FindMember(std::span<const std::string_view> names, std::string_view name) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (std::size_t id = 0; id < names.size(); ++id) {
    const std::string_view candidate = names[id];
    if (candidate.size() != name.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < name.size() && same; ++k)
      same = lower(candidate[k]) == lower(name[k]);
    if (same) return static_cast<int>(id);
  }
  return -1;
}

namespace {

bool IsRead(InvokeKind kind) {
  return kind == InvokeKind::Get || kind == InvokeKind::Call;
}

// An index argument as automation coerces it: numbers round to the nearest
// integer (halves to even), booleans give -1 or 0.
std::optional<std::int32_t> IndexArgument(std::span<const Value> arguments) {
  if (arguments.size() != 1) return std::nullopt;
  const Value& v = arguments[0];
  if (const auto* i = std::get_if<std::int32_t>(&v)) return *i;
  if (const auto* b = std::get_if<bool>(&v)) return *b ? -1 : 0;
  if (const auto* d = std::get_if<double>(&v)) {
    const double r = std::nearbyint(*d);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return std::nullopt;
    return static_cast<std::int32_t>(r);
  }
  return std::nullopt;
}

// A string argument; an empty value reads as an empty string.
const std::u16string* StringArgument(const Value& v) {
  static const std::u16string kEmpty;
  if (std::holds_alternative<std::monostate>(v)) return &kEmpty;
  return std::get_if<std::u16string>(&v);
}

// The same, as a string the member may take over.
std::optional<std::u16string> TakeStringArgument(Value& v) {
  if (std::holds_alternative<std::monostate>(v)) return std::u16string();
  if (auto* text = std::get_if<std::u16string>(&v)) return std::move(*text);
  return std::nullopt;
}

std::optional<bool> BoolArgument(const Value& v) {
  if (const auto* b = std::get_if<bool>(&v)) return *b;
  if (const auto* i = std::get_if<std::int32_t>(&v)) return *i != 0;
  if (const auto* d = std::get_if<double>(&v)) return *d != 0;
  return std::nullopt;
}

// What every match of one run shares.
struct RunData {
  std::u16string subject;
  MatchRun run;
};

class SubMatches final : public DispatchObject {
 public:
  SubMatches(std::shared_ptr<const RunData> data, std::size_t match)
      : data_(std::move(data)), match_(match) {}

  int MemberId(std::string_view name) const override { return FindMember(kNames, name); }

  bool Invoke(int id, InvokeKind kind, std::span<Value> arguments, Value& result) override {
    if (!IsRead(kind)) return false;
    const MatchSpan& m = data_->run.matches[match_];
    if (id == kCount) {
      if (!arguments.empty()) return false;
      result = static_cast<std::int32_t>(m.GroupCount());
      return true;
    }
    if (id != kItem) return false;
    const std::optional<std::int32_t> index = IndexArgument(arguments);
    if (!index || *index < 0 || *index >= m.GroupCount()) return false;
    const std::int32_t start = m.groups[static_cast<std::size_t>(*index) * 2];
    const std::int32_t end = m.groups[static_cast<std::size_t>(*index) * 2 + 1];
    if (start < 0) {
      result = std::monostate{};
    } else {
      result = data_->subject.substr(static_cast<std::size_t>(start),
                                     static_cast<std::size_t>(end - start));
    }
    return true;
  }

 private:
  enum { kCount, kItem };
  static constexpr std::array<std::string_view, 2> kNames = {"Count", "Item"};
  std::shared_ptr<const RunData> data_;
  std::size_t match_;
};

class Match final : public DispatchObject {
 public:
  Match(std::shared_ptr<const RunData> data, std::size_t match)
      : data_(std::move(data)), match_(match) {}

  int MemberId(std::string_view name) const override { return FindMember(kNames, name); }

  bool Invoke(int id, InvokeKind kind, std::span<Value> arguments, Value& result) override {
    if (!IsRead(kind) || !arguments.empty()) return false;
    const MatchSpan& m = data_->run.matches[match_];
    switch (id) {
      case kValue:
        result = data_->subject.substr(static_cast<std::size_t>(m.start),
                                       static_cast<std::size_t>(m.end - m.start));
        return true;
      case kFirstIndex:
        result = m.start;
        return true;
      case kSubMatches:
        result = MakeObject<SubMatches>(data_, match_);
        return true;
      default:
        return false;
    }
  }

 private:
  enum { kValue, kFirstIndex, kSubMatches };
  static constexpr std::array<std::string_view, 3> kNames = {"Value", "FirstIndex", "SubMatches"};
  std::shared_ptr<const RunData> data_;
  std::size_t match_;
};

class MatchCollection final : public DispatchObject {
 public:
  explicit MatchCollection(std::shared_ptr<const RunData> data) : data_(std::move(data)) {}

  int MemberId(std::string_view name) const override { return FindMember(kNames, name); }

  bool Invoke(int id, InvokeKind kind, std::span<Value> arguments, Value& result) override {
    if (!IsRead(kind)) return false;
    const auto count = static_cast<std::int32_t>(data_->run.matches.size());
    if (id == kCount) {
      if (!arguments.empty()) return false;
      result = count;
      return true;
    }
    if (id != kItem) return false;
    const std::optional<std::int32_t> index = IndexArgument(arguments);
    if (!index || *index < 0 || *index >= count) return false;
    result = MakeObject<Match>(data_, static_cast<std::size_t>(*index));
    return true;
  }

 private:
  enum { kCount, kItem };
  static constexpr std::array<std::string_view, 2> kNames = {"Count", "Item"};
  std::shared_ptr<const RunData> data_;
};

class RegExp final : public DispatchObject {
 public:
  explicit RegExp(const IcuBinding& icu) : icu_(icu) {}

  int MemberId(std::string_view name) const override { return FindMember(kNames, name); }

  bool Invoke(int id, InvokeKind kind, std::span<Value> arguments, Value& result) override {
    switch (id) {
      case kPattern:
        if (kind == InvokeKind::Put) {
          const std::u16string* pattern =
              arguments.size() == 1 ? StringArgument(arguments[0]) : nullptr;
          if (!pattern) return false;
          pattern_ = *pattern;
          return true;
        }
        if (!IsRead(kind) || !arguments.empty()) return false;
        result = pattern_;
        return true;
      case kIgnoreCase:
        return Option(options_.ignoreCase, kind, arguments, result);
      case kMultiline:
        return Option(options_.multiline, kind, arguments, result);
      case kGlobal:
        return Option(options_.global, kind, arguments, result);
      case kExecute: {
        if (kind != InvokeKind::Call || arguments.size() != 1) return false;
        std::optional<std::u16string> subject = TakeStringArgument(arguments[0]);
        if (!subject) return false;
        std::shared_ptr<RunData> data = Run(std::move(*subject));
        if (!data) return false;
        result = MakeObject<MatchCollection>(std::move(data));
        return true;
      }
      case kReplace: {
        if (kind != InvokeKind::Call || arguments.size() != 2) return false;
        const std::u16string* replacement = StringArgument(arguments[1]);
        std::optional<std::u16string> subject = TakeStringArgument(arguments[0]);
        if (!subject || !replacement) return false;
        std::shared_ptr<RunData> data = Run(std::move(*subject));
        if (!data) return false;
        result = ReplaceMatches(data->subject, data->run, *replacement);
        return true;
      }
      default:
        return false;
    }
  }

 private:
  enum { kPattern, kIgnoreCase, kMultiline, kGlobal, kExecute, kReplace };
  static constexpr std::array<std::string_view, 6> kNames = {"Pattern", "IgnoreCase", "Multiline",
                                                             "Global",  "Execute",    "Replace"};

  static bool Option(bool& option, InvokeKind kind, std::span<const Value> arguments,
                     Value& result) {
    if (kind == InvokeKind::Put) {
      const std::optional<bool> value =
          arguments.size() == 1 ? BoolArgument(arguments[0]) : std::nullopt;
      if (!value) return false;
      option = *value;
      return true;
    }
    if (!IsRead(kind) || !arguments.empty()) return false;
    result = option;
    return true;
  }

  std::shared_ptr<RunData> Run(std::u16string subject) const {
    auto data = std::make_shared<RunData>();
    data->subject = std::move(subject);
    std::optional<MatchRun> run = FindMatches(icu_, pattern_, data->subject, options_);
    if (!run) return nullptr;
    data->run = std::move(*run);
    return data;
  }

  const IcuBinding& icu_;
  std::u16string pattern_;
  MatchOptions options_;
};

}  // namespace

Ref<DispatchObject> CreateRegExp(const IcuBinding& icu) {
  return MakeObject<RegExp>(icu);
}

}  // namespace platform::builtin
