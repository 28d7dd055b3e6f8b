#pragma once

#include <QString>

#include "text.h"

namespace cardel {

// QString and the core's texts share UTF-16, so these are plain copies.
inline Text ToText(const QString& s) {
  return Text(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size()));
}

inline QString ToQString(TextView t) {
  return QString::fromUtf16(t.data(), static_cast<qsizetype>(t.size()));
}

}  // namespace cardel
