#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <variant>

#include "platform.h"

class QFileDevice;

namespace cardel {

// The platform's files on the local disk; see Platform for what each does.
LockAttempt LockFileOnDisk(const QString& path);
std::variant<std::unique_ptr<AppendFile>, QString> OpenAppendFileOnDisk(const QString& path,
                                                                        bool keepContent);
std::unique_ptr<FileReplacement> ReplaceFileOnDisk(const QString& path);

}  // namespace cardel
