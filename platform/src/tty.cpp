// The tty comm backend.
#include "internal.h"

namespace platform::detail {
std::shared_ptr<Object> OpenTtyPort(const std::string& device, const std::string& path,
                                    bool overlapped) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  return nullptr;
}
}  // namespace platform::detail
