// A recursive-descent reader of decorated free-function names. The input comes from files a
// player handed us, so it is bounded: a name longer than any compiler writes is refused, nesting
// (function pointers taking function pointers) stops at a fixed depth, and every read of the
// next character checks the end first. The output spells types as the usual undecorators do
// ("char const *", "struct A *", "void (__cdecl *)(int)").
#include "binary_reader/msvc_names.h"

#include <cctype>
#include <vector>

namespace {

constexpr std::size_t kMaxDecoratedLength = 4096;
constexpr int kMaxDepth = 8;
constexpr std::size_t kMaxBackReferences = 10;

const char* BuiltInType(char code) {
  switch (code) {
    case 'C':
      return "signed char";
    case 'D':
      return "char";
    case 'E':
      return "unsigned char";
    case 'F':
      return "short";
    case 'G':
      return "unsigned short";
    case 'H':
      return "int";
    case 'I':
      return "unsigned int";
    case 'J':
      return "long";
    case 'K':
      return "unsigned long";
    case 'M':
      return "float";
    case 'N':
      return "double";
    case 'O':
      return "long double";
    default:
      return nullptr;
  }
}

const char* ExtendedType(char code) {
  switch (code) {
    case 'J':
      return "__int64";
    case 'K':
      return "unsigned __int64";
    case 'N':
      return "bool";
    case 'W':
      return "wchar_t";
    default:
      return nullptr;
  }
}

const char* CallingConvention(char code) {
  switch (code) {
    case 'A':
      return "__cdecl";
    case 'G':
      return "__stdcall";
    case 'I':
      return "__fastcall";
    case 'Q':
      return "__vectorcall";
    default:
      return nullptr;
  }
}

const char* Qualifiers(char code) {
  switch (code) {
    case 'A':
      return "";
    case 'B':
      return " const";
    case 'C':
      return " volatile";
    case 'D':
      return " const volatile";
    default:
      return nullptr;
  }
}

// Appends `suffix` ("*" or "&") to a type, with a space after a word as undecorators write it.
std::string WithDeclarator(std::string type, const char* suffix) {
  if (!type.empty() &&
      (std::isalnum(static_cast<unsigned char>(type.back())) || type.back() == '>')) {
    type += ' ';
  }
  return type + suffix;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<std::string> Function() {
    if (!Take('?')) {
      return std::nullopt;
    }
    std::optional<std::string> name = QualifiedName();
    if (!name || !Take('Y')) {
      return std::nullopt;
    }
    std::optional<std::string> signature = Signature(*name, 0);
    if (!signature || position_ != text_.size()) {
      return std::nullopt;
    }
    return signature;
  }

 private:
  bool AtEnd() const { return position_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[position_]; }
  bool Take(char expected) {
    if (Peek() != expected || AtEnd()) {
      return false;
    }
    ++position_;
    return true;
  }

  // name@scope@...@ -> "scope::...::name"; each part a word or a back-reference digit.
  std::optional<std::string> QualifiedName() {
    std::vector<std::string> parts;
    while (!Take('@')) {
      std::optional<std::string> part = NamePart();
      if (!part) {
        return std::nullopt;
      }
      parts.push_back(std::move(*part));
    }
    if (parts.empty()) {
      return std::nullopt;
    }
    std::string joined;
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
      joined += (joined.empty() ? "" : "::") + *part;
    }
    return joined;
  }

  std::optional<std::string> NamePart() {
    const char c = Peek();
    if (c >= '0' && c <= '9') {
      ++position_;
      const std::size_t index = static_cast<std::size_t>(c - '0');
      return index < names_.size() ? std::optional<std::string>(names_[index]) : std::nullopt;
    }
    const std::size_t start = position_;
    while (!AtEnd() &&
           (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_' || Peek() == '$')) {
      ++position_;
    }
    if (position_ == start || !Take('@')) {
      return std::nullopt;
    }
    std::string word(text_.substr(start, position_ - 1 - start));
    if (names_.size() < kMaxBackReferences) {
      names_.push_back(word);
    }
    return word;
  }

  // Calling convention, return type, parameters, throw list: "A" "X" "HH@" "Z".
  std::optional<std::string> Signature(const std::string& name, int depth) {
    const char* convention = CallingConvention(Peek());
    if (convention == nullptr) {
      return std::nullopt;
    }
    ++position_;
    std::optional<std::string> result = Type(depth, true);
    std::optional<std::string> parameters = result ? Parameters(depth) : std::nullopt;
    if (!parameters || !Take('Z')) {
      return std::nullopt;
    }
    if (name.empty()) {
      return *result + " (" + convention + " *)(" + *parameters + ")";
    }
    return *result + " " + convention + " " + name + "(" + *parameters + ")";
  }

  std::optional<std::string> Parameters(int depth) {
    if (Take('X')) {
      return "void";
    }
    std::string list;
    for (;;) {
      if (Take('@')) {
        return list.empty() ? std::nullopt : std::optional<std::string>(list);
      }
      if (Take('Z')) {
        return list + (list.empty() ? "..." : ", ...");
      }
      std::optional<std::string> parameter = Parameter(depth);
      if (!parameter) {
        return std::nullopt;
      }
      list += (list.empty() ? "" : ", ") + *parameter;
    }
  }

  // A parameter type, or a back-reference to one of the earlier ones longer than one letter.
  std::optional<std::string> Parameter(int depth) {
    const char c = Peek();
    if (c >= '0' && c <= '9') {
      ++position_;
      const std::size_t index = static_cast<std::size_t>(c - '0');
      return index < parameters_.size() ? std::optional<std::string>(parameters_[index])
                                        : std::nullopt;
    }
    const std::size_t start = position_;
    std::optional<std::string> type = Type(depth, false);
    if (type && position_ - start > 1 && parameters_.size() < kMaxBackReferences) {
      parameters_.push_back(*type);
    }
    return type;
  }

  std::optional<std::string> Type(int depth, bool voidAllowed) {
    if (depth > kMaxDepth || AtEnd()) {
      return std::nullopt;
    }
    const char code = text_[position_++];
    if (const char* builtIn = BuiltInType(code)) {
      return builtIn;
    }
    switch (code) {
      case 'X':
        return voidAllowed ? std::optional<std::string>("void") : std::nullopt;
      case '_': {
        const char* extended = AtEnd() ? nullptr : ExtendedType(text_[position_++]);
        return extended ? std::optional<std::string>(extended) : std::nullopt;
      }
      case 'U':
        return Tagged("struct ");
      case 'V':
        return Tagged("class ");
      case 'T':
        return Tagged("union ");
      case 'W':
        return Take('4') ? Tagged("enum ") : std::nullopt;
      case 'P':
        return Indirect("*", depth);
      case 'A':
        return Indirect("&", depth);
      default:
        return std::nullopt;
    }
  }

  std::optional<std::string> Tagged(const char* keyword) {
    std::optional<std::string> name = QualifiedName();
    return name ? std::optional<std::string>(keyword + *name) : std::nullopt;
  }

  // After 'P' or 'A': a function pointer ("6" + signature), or the 64-bit marker 'E', the
  // pointee's qualifiers and the pointee.
  std::optional<std::string> Indirect(const char* declarator, int depth) {
    if (*declarator == '*' && Take('6')) {
      return Signature("", depth + 1);
    }
    const char* qualifiers = Take('E') ? Qualifiers(Peek()) : nullptr;
    if (qualifiers == nullptr) {
      return std::nullopt;
    }
    ++position_;
    std::optional<std::string> pointee = Type(depth + 1, true);
    if (!pointee) {
      return std::nullopt;
    }
    return WithDeclarator(*pointee + qualifiers, declarator);
  }

  std::string_view text_;
  std::size_t position_ = 0;
  std::vector<std::string> names_;
  std::vector<std::string> parameters_;
};

}  // namespace

std::optional<std::string> DemangleMsvcFunction(std::string_view decorated) {
  if (decorated.size() > kMaxDecoratedLength) {
    return std::nullopt;
  }
  return Reader(decorated).Function();
}

std::string ReadableFunctionName(std::string_view name) {
  return DemangleMsvcFunction(name).value_or(std::string(name));
}
