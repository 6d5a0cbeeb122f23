#include <cctype>

#include "platform/files.h"
#include "platform/sjis.h"

namespace platform {
namespace {

size_t CharLength(const std::string& s, size_t i) {
  return (IsSjisLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

bool SameChar(const std::string& a, size_t i, const std::string& b, size_t j, size_t length) {
  if (length == 1)
    return std::tolower(static_cast<unsigned char>(a[i])) ==
           std::tolower(static_cast<unsigned char>(b[j]));
  return a.compare(i, length, b, j, length) == 0;
}

bool MatchFrom(const std::string& p, size_t i, const std::string& n, size_t j) {
  while (i < p.size()) {
    if (p[i] == '*') {
      for (size_t k = j; k <= n.size(); k += (k < n.size() ? CharLength(n, k) : 1))
        if (MatchFrom(p, i + 1, n, k)) return true;
      return false;
    }
    if (j >= n.size()) return false;
    const size_t nameChar = CharLength(n, j);
    if (p[i] == '?') {
      i += 1;
    } else {
      const size_t patternChar = CharLength(p, i);
      if (patternChar != nameChar || !SameChar(p, i, n, j, nameChar)) return false;
      i += patternChar;
    }
    j += nameChar;
  }
  return j == n.size();
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  return MatchFrom(pattern, 0, name, 0);
}

}  // namespace platform
